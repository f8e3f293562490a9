#include "blocks/root.h"
#include "blocks/scanner.h"
#include "text/textmodel.h"
#include "inspector/declarationwriter.h"
#include "support/markedtext.h"

#include <QTest>

using namespace sheetsmith;

// Where the inspector writes "name: value;": which declaration it replaces, where it
// adds one, and what it leaves alone.
class TestDeclarationWriter : public QObject
{
    Q_OBJECT

private slots:
    void writesTheDeclaration_data();
    void writesTheDeclaration();
};

namespace {

// Sheets are written with "\n" breaks and "|" where the caret stands.
struct Sheet
{
    QString text;
    qsizetype caret = 0;
};

Sheet sheetWithCaret(const QString &marked)
{
    const MarkedText m = parseMarked(marked);
    return {m.text, m.selStart};
}

QString applied(const Sheet &sheet, const QString &name, const QString &value)
{
    const TextModel model(sheet.text);
    Root blocks;
    ScanBlocks(model, ElementNames(), blocks);
    const std::optional<DeclarationEdit> edit = PlanDeclaration(model, blocks, sheet.caret, name, value);
    if (!edit)
        return sheet.text;
    return QString(sheet.text).replace(edit->start, edit->length, edit->text);
}

} // namespace

void TestDeclarationWriter::writesTheDeclaration_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");

    const QString color = QStringLiteral("color");
    const QString blue = QStringLiteral("blue");
    const QString fontSize = QStringLiteral("font-size");
    const QString twelve = QStringLiteral("12px");

    // Replacing.
    QTest::newRow("replaces the declaration in the block")
        << "H1 {\n  color: red;|\n}\n" << color << blue << "H1 {\n  color: blue;\n}\n";
    QTest::newRow("one blank after the colon whatever the old spacing")
        << "H1 {\n  color  :red ;|\n}" << color << blue << "H1 {\n  color: blue;\n}";
    QTest::newRow("name found whatever its letter case")
        << "H1 {\n  COLOR: red;|\n}" << color << blue << "H1 {\n  color: blue;\n}";
    QTest::newRow("declaration right after the brace")
        << "H1 {color: red;|\n}" << color << blue << "H1 {color: blue;\n}";
    QTest::newRow("declaration right after a comment")
        << "H1 {\n  /* x */color: red;|\n}" << color << blue << "H1 {\n  /* x */color: blue;\n}";
    QTest::newRow("one-line rule without semicolon keeps its brace")
        << "H1 { color: red| }" << color << blue << "H1 { color: blue; }";
    QTest::newRow("comment after a declaration without semicolon stays")
        << "H1 {\n  color: red /* main */|\n}" << color << blue << "H1 {\n  color: blue; /* main */\n}";
    QTest::newRow("semicolon inside quotes does not end the old value")
        << "H1 {\n  font-family: \"a;b\", serif;|\n}" << "font-family" << "serif"
        << "H1 {\n  font-family: serif;\n}";
    QTest::newRow("apostrophe in an unquoted url does not carry over the brace")
        << "H1 { background: url(it's.gif)| }" << "background" << "none" << "H1 { background: none; }";
    QTest::newRow("second rule on a line replaces its own declaration")
        << "H1 { color: red } H2 { color: green| }" << color << blue << "H1 { color: red } H2 { color: blue; }";

    // What is not the property's declaration.
    QTest::newRow("background-color is not color")
        << "H1 {\n  background-color: red;|\n}" << color << blue
        << "H1 {\n  background-color: red;\ncolor: blue;\n}";
    QTest::newRow("commented declaration stays, live one is replaced")
        << "H1 {\n  /* color: red; */\n  color: green;|\n}" << color << blue
        << "H1 {\n  /* color: red; */\n  color: blue;\n}";
    QTest::newRow("only a commented declaration: one is added")
        << "H1 {|\n  /* color: red; */\n}" << color << blue << "H1 {\ncolor: blue;\n  /* color: red; */\n}";
    QTest::newRow("selector naming the property stays")
        << "P.color:first-line {|\n  margin: 0;\n}" << color << blue
        << "P.color:first-line {\ncolor: blue;\n  margin: 0;\n}";
    QTest::newRow("value naming the property stays")
        << "H1 {|\n  font-family: color, serif;\n}" << color << blue
        << "H1 {\ncolor: blue;\n  font-family: color, serif;\n}";
    QTest::newRow("search ends at the block's brace")
        << "H1 {|\n  margin: 0;\n}\nH2 {\n  color: red;\n}" << color << blue
        << "H1 {\ncolor: blue;\n  margin: 0;\n}\nH2 {\n  color: red;\n}";

    // Adding.
    QTest::newRow("added on a new line after the caret's line")
        << "H1 {|\n  margin: 0;\n}" << color << blue << "H1 {\ncolor: blue;\n  margin: 0;\n}";
    QTest::newRow("added at the caret on an empty line")
        << "H1 {\n|\n}" << color << blue << "H1 {\ncolor: blue;\n}";
    QTest::newRow("added inside a one-line rule, semicolon supplied")
        << "H1 { color: red| }" << fontSize << twelve << "H1 { color: red; font-size: 12px; }";
    QTest::newRow("added inside a one-line rule ending in a semicolon")
        << "H1 { color: red;| }" << fontSize << twelve << "H1 { color: red; font-size: 12px; }";
    QTest::newRow("added inside an empty one-line rule")
        << "H1 {| }" << fontSize << twelve << "H1 { font-size: 12px; }";
    QTest::newRow("added before a brace on its own line")
        << "H1 {\n  color: red;\n|}" << fontSize << twelve << "H1 {\n  color: red;\nfont-size: 12px;\n}";

    // Caret in no block.
    QTest::newRow("no block, empty line: inserted at the caret, rules untouched")
        << "H1 { color: red; }\n|" << color << blue << "H1 { color: red; }\ncolor: blue;";
    QTest::newRow("no block, non-empty line: on a new line after it")
        << "H1 { color: red; }\n/* note */|" << color << blue << "H1 { color: red; }\n/* note */\ncolor: blue;";
    QTest::newRow("no block: a loose declaration is replaced")
        << "color: red;\nmargin: 0;|" << color << blue << "color: blue;\nmargin: 0;";
    QTest::newRow("no block: the declaration of a rule without its brace is replaced")
        << "H1 { color: green; }\nH2 {\n  color: red;|\n" << color << blue
        << "H1 { color: green; }\nH2 {\n  color: blue;\n";

    // Nothing to write.
    QTest::newRow("empty value writes nothing") << "H1 {\n  color: red;|\n}" << color << QString()
                                                << "H1 {\n  color: red;\n}";
    QTest::newRow("blank value writes nothing") << "H1 {\n  color: red;|\n}" << color << "   "
                                                << "H1 {\n  color: red;\n}";
    QTest::newRow("empty name writes nothing") << "H1 {\n|\n}" << QString() << blue << "H1 {\n\n}";
    QTest::newRow("value is written on one line")
        << "H1 {\n  color: red;|\n}" << "font-family" << "a,\nb" << "H1 {\n  color: red;\nfont-family: a, b;\n}";
}

void TestDeclarationWriter::writesTheDeclaration()
{
    QFETCH(QString, sheet);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QCOMPARE(applied(sheetWithCaret(sheet), name, value), TextModel::toCrLf(expected));
}

QTEST_GUILESS_MAIN(TestDeclarationWriter)
#include "tst_declarationwriter.moc"
