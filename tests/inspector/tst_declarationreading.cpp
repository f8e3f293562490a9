#include "blocks/root.h"
#include "blocks/scanner.h"
#include "inspector/declarationwriter.h"
#include "support/markedtext.h"
#include "text/textmodel.h"

#include <QTest>

using namespace sheetsmith;

// The declaration writer reads the sheet as CSS does: a name in a string is no
// declaration, and a string ends at its line's end or runs on over an escaped break.
class TestDeclarationReading : public QObject
{
    Q_OBJECT

private slots:
    void replaces_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a name in a string is left alone")
            << "H1 { content: \"; color: red\";| }" << "H1 { content: \"; color: red\"; color: blue; }";
        QTest::newRow("a string cut by its line's end ends the old value there")
            << "H1 {\n  color: \"a;b|\n}" << "H1 {\n  color: blue;\n}";
        QTest::newRow("a string continued over a line break is replaced whole")
            << "H1 {\n  color: \"a\\\nb\";|\n}" << "H1 {\n  color: blue;\n}";
    }
    void replaces()
    {
        QFETCH(QString, sheet);
        QFETCH(QString, expected);
        const MarkedText m = parseMarked(sheet);
        const TextModel model(m.text);
        Root blocks;
        ScanBlocks(model, ElementNames(), blocks);
        const std::optional<DeclarationEdit> edit
            = PlanDeclaration(model, blocks, m.selStart, QStringLiteral("color"), QStringLiteral("blue"));
        QVERIFY(edit);
        QCOMPARE(QString(m.text).replace(edit->start, edit->length, edit->text), TextModel::toCrLf(expected));
    }
};

QTEST_GUILESS_MAIN(TestDeclarationReading)
#include "tst_declarationreading.moc"
