#include "editor/colouringrules.h"
#include "editor/rtf.h"
#include "settings/optionsrules.h"
#include "support/colourcodes.h"

#include <QTest>

using namespace sheetsmith;

namespace {

const ColourValue kOldSelector = makeColour(0, 0, 128);
const ColourValue kOldBracket = makeColour(128, 0, 0);
const ColourValue kOldComment = makeColour(0, 128, 0);

} // namespace

// The rules of the Settings dialog's Apply: the rewrites of the editor's RTF, the plan
// that chooses between them, and the checks of typed values. No window.
class TestOptionsRules : public QObject
{
    Q_OBJECT

private slots:
    void resizeRtfFont_data();
    void resizeRtfFont();
    void recolourRtfTable_data();
    void recolourRtfTable();
    void renameRtfFontOnlyAtTheTableEnd();
    void needsFullRecolour_data();
    void needsFullRecolour();
    void planRestyle_data();
    void planRestyle();
    void restyleRewritesTheTableOrColoursAnew_data();
    void restyleRewritesTheTableOrColoursAnew();
    void typedValues_data();
    void typedValues();
    void usableFontName_data();
    void usableFontName();
};

void TestOptionsRules::resizeRtfFont_data()
{
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<int>("halfPoints");
    QTest::addColumn<QString>("expected");

    QTest::newRow("every occurrence of the first size word")
        << "{\\pard\\fs20 a\\fs20 b}" << 24 << "{\\pard\\fs24 a\\fs24 b}";
    QTest::newRow("size word found whatever its case")
        << "{\\pard\\FS20 a}" << 16 << "{\\pard\\fs16 a}";
    QTest::newRow("escaped backslash of the text is no size word")
        << "{\\pard\\fs20 a\\\\fs20}" << 24 << "{\\pard\\fs24 a\\\\fs20}";
    QTest::newRow("longer number is another word")
        << "{\\pard\\fs20 a\\fs200 b}" << 18 << "{\\pard\\fs18 a\\fs200 b}";
    QTest::newRow("three-digit size replaced whole")
        << "{\\pard\\fs100 a}" << 20 << "{\\pard\\fs20 a}";
    QTest::newRow("other sizes than the first stay")
        << "{\\pard\\fs20 a\\fs22 b}" << 24 << "{\\pard\\fs24 a\\fs22 b}";
    QTest::newRow("no size word, nothing changes") << "{\\pard a}" << 24 << "{\\pard a}";
}

void TestOptionsRules::resizeRtfFont()
{
    QFETCH(QString, rtf);
    QFETCH(int, halfPoints);
    QFETCH(QString, expected);
    QCOMPARE(ResizeRtfFont(rtf, halfPoints), expected);
}

void TestOptionsRules::recolourRtfTable_data()
{
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QStringList>("olds"); // selectors, braces, comments
    QTest::addColumn<QStringList>("news");
    QTest::addColumn<QString>("expected");

    const QString head = QStringLiteral("{\\rtf1{\\fonttbl{\\f0\\fnil F;}}\r\n");
    const QString tail = QStringLiteral("\r\n\\pard\\fs20 x\r\n\\par }\r\n");
    const QString a = QStringLiteral("\\red0\\green0\\blue128");
    const QString b = QStringLiteral("\\red128\\green0\\blue0");
    const QString c = QStringLiteral("\\red0\\green128\\blue0");
    const QString x = QStringLiteral("\\red1\\green2\\blue3");
    const QString shortA = QStringLiteral("\\red0\\green0\\blue12");

    QTest::newRow("each kind's entry replaced")
        << head + "{\\colortbl ;" + a + ";" + b + ";" + c + ";}" + tail
        << QStringList{a, b, c} << QStringList{x, a, b}
        << head + "{\\colortbl ;" + x + ";" + a + ";" + b + ";}" + tail;
    QTest::newRow("exchanged colours both change")
        << head + "{\\colortbl ;" + a + ";" + b + ";}" + tail
        << QStringList{a, b, c} << QStringList{b, a, c}
        << head + "{\\colortbl ;" + b + ";" + a + ";}" + tail;
    QTest::newRow("only a whole entry matches")
        << head + "{\\colortbl ;" + a + ";}" + tail
        << QStringList{shortA, b, c} << QStringList{x, b, c}
        << head + "{\\colortbl ;" + a + ";}" + tail;
    QTest::newRow("first occurrence only")
        << head + "{\\colortbl ;" + a + ";" + a + ";}" + tail
        << QStringList{a, b, c} << QStringList{x, b, c}
        << head + "{\\colortbl ;" + x + ";" + a + ";}" + tail;
    QTest::newRow("no colour table, nothing changes")
        << head + tail.mid(2) << QStringList{a, b, c} << QStringList{x, x, x} << head + tail.mid(2);
    QTest::newRow("definition in the text is not an entry")
        << head + "{\\colortbl ;" + b + ";}\r\n\\pard\\fs20 \\\\red0\\\\green0\\\\blue128\r\n\\par }\r\n"
        << QStringList{a, b, c} << QStringList{x, b, c}
        << head + "{\\colortbl ;" + b + ";}\r\n\\pard\\fs20 \\\\red0\\\\green0\\\\blue128\r\n\\par }\r\n";
}

void TestOptionsRules::recolourRtfTable()
{
    QFETCH(QString, rtf);
    QFETCH(QStringList, olds);
    QFETCH(QStringList, news);
    QFETCH(QString, expected);
    const std::array<ColourChange, 3> changes{ColourChange{olds[0], news[0]},
                                              ColourChange{olds[1], news[1]},
                                              ColourChange{olds[2], news[2]}};
    QCOMPARE(RecolourRtfTable(rtf, changes), expected);
}

void TestOptionsRules::renameRtfFontOnlyAtTheTableEnd()
{
    const QString rtf = QStringLiteral("{\\rtf1{\\fonttbl{\\f0\\fnil Mono;}}\r\n\\pard Mono;\\}\\} x\r\n\\par }\r\n");
    QCOMPARE(RenameRtfFont(rtf, QStringLiteral("Mono"), QStringLiteral("Serif Pro")),
             QStringLiteral("{\\rtf1{\\fonttbl{\\f0\\fnil Serif Pro;}}\r\n\\pard Mono;\\}\\} x\r\n\\par }\r\n"));
    QCOMPARE(RenameRtfFont(rtf, QStringLiteral("mono"), QStringLiteral("X")), rtf);
}

void TestOptionsRules::needsFullRecolour_data()
{
    QTest::addColumn<QList<int>>("olds");
    QTest::addColumn<QList<int>>("news");
    QTest::addColumn<bool>("expected");

    QTest::newRow("distinct colours") << QList<int>{1, 2, 3} << QList<int>{4, 5, 6} << false;
    QTest::newRow("exchanged colours") << QList<int>{1, 2, 3} << QList<int>{2, 1, 3} << false;
    QTest::newRow("shared colour stays shared") << QList<int>{1, 1, 3} << QList<int>{7, 7, 3} << false;
    QTest::newRow("shared colour parts") << QList<int>{1, 1, 3} << QList<int>{1, 2, 3} << true;
    QTest::newRow("selectors and comments part") << QList<int>{5, 2, 5} << QList<int>{5, 2, 6} << true;
    QTest::newRow("black kind recoloured") << QList<int>{0, 2, 3} << QList<int>{1, 2, 3} << true;
    QTest::newRow("black kind stays black") << QList<int>{0, 2, 3} << QList<int>{0, 4, 3} << false;
}

void TestOptionsRules::needsFullRecolour()
{
    QFETCH(QList<int>, olds);
    QFETCH(QList<int>, news);
    QFETCH(bool, expected);
    QCOMPARE(NeedsFullRecolour({olds[0], olds[1], olds[2]}, {news[0], news[1], news[2]}), expected);
}

void TestOptionsRules::typedValues_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("size");     // 0: refused
    QTest::addColumn<int>("tabWidth");    // 0: refused

    QTest::newRow("whole number") << "12" << 12.0 << 12;
    QTest::newRow("blanks around") << " 9 " << 9.0 << 9;
    QTest::newRow("half point size") << "10.5" << 10.5 << 0;
    QTest::newRow("letters") << "abc" << 0.0 << 0;
    QTest::newRow("number then unit") << "12pt" << 0.0 << 0;
    QTest::newRow("empty") << "" << 0.0 << 0;
    QTest::newRow("zero") << "0" << 0.0 << 0;
    QTest::newRow("negative") << "-4" << 0.0 << 0;
    QTest::newRow("largest tab width") << "100" << 100.0 << 100;
    QTest::newRow("above tab width range") << "101" << 101.0 << 0;
    QTest::newRow("above size range") << "1001" << 0.0 << 0;
}

void TestOptionsRules::typedValues()
{
    QFETCH(QString, text);
    QFETCH(double, size);
    QFETCH(int, tabWidth);
    QCOMPARE(ParseFontSize(text).value_or(0.0), size);
    QCOMPARE(ParseTabWidth(text).value_or(0), tabWidth);
}

void TestOptionsRules::planRestyle_data()
{
    QTest::addColumn<QStringList>("oldDefinitions"); // selectors, braces, comments
    QTest::addColumn<QList<int>>("oldNumbers");
    QTest::addColumn<QList<int>>("news");
    QTest::addColumn<bool>("recolourAll");
    QTest::addColumn<QStringList>("changedFrom"); // old side of each table change

    const QString s = colourToRtfDefinition(kOldSelector);
    const QString b = colourToRtfDefinition(kOldBracket);
    const QString c = colourToRtfDefinition(kOldComment);
    const QList<int> olds{kOldSelector, kOldBracket, kOldComment};
    const QList<int> news{makeColour(1, 2, 3), makeColour(4, 5, 6), makeColour(7, 8, 9)};

    QTest::newRow("distinct colours, forms agree: the table changes")
        << QStringList{s, b, c} << olds << news << false << QStringList{s, b, c};
    QTest::newRow("a definition with leading zeros matches in the editor's spelling")
        << QStringList{"\\red000\\green0\\blue128", b, c} << olds << news << false
        << QStringList{s, b, c};
    QTest::newRow("an automatic definition: the number's spelling")
        << QStringList{"", b, c} << olds << news << false << QStringList{s, b, c};
    QTest::newRow("definition and number of a kind disagree: coloured anew")
        << QStringList{"\\red1\\green1\\blue1", b, c} << olds << news << true
        << QStringList{"\\red1\\green1\\blue1", b, c};
    QTest::newRow("a shared colour parts: coloured anew")
        << QStringList{s, s, c} << QList<int>{kOldSelector, kOldSelector, kOldComment} << news
        << true << QStringList{s, s, c};
    QTest::newRow("a shared definition parts though the numbers differ: coloured anew")
        << QStringList{s, s, c} << QList<int>{kOldSelector, makeColour(0, 0, 129), kOldComment}
        << QList<int>{kOldSelector, kOldBracket, kOldComment} << true << QStringList{s, s, c};
    QTest::newRow("black selectors get a colour: coloured anew")
        << QStringList{colourToRtfDefinition(0), b, c} << QList<int>{0, kOldBracket, kOldComment}
        << news << true << QStringList{colourToRtfDefinition(0), b, c};
}

void TestOptionsRules::planRestyle()
{
    QFETCH(QStringList, oldDefinitions);
    QFETCH(QList<int>, oldNumbers);
    QFETCH(QList<int>, news);
    QFETCH(bool, recolourAll);
    QFETCH(QStringList, changedFrom);

    const SyntaxColours old{oldDefinitions[0], oldDefinitions[1], oldDefinitions[2],
                            {oldNumbers[0], oldNumbers[1], oldNumbers[2]}};
    const RestylePlan plan = PlanRestyle(old, {news[0], news[1], news[2]});
    QCOMPARE(plan.recolourAll, recolourAll);
    for (int k = 0; k < 3; ++k) {
        QCOMPARE(plan.newDefinitions[size_t(k)], colourToRtfDefinition(news[k]));
        QCOMPARE(plan.changes[size_t(k)].oldDefinition, changedFrom[k]);
        QCOMPARE(plan.changes[size_t(k)].newDefinition, plan.newDefinitions[size_t(k)]);
    }
}

void TestOptionsRules::restyleRewritesTheTableOrColoursAnew_data()
{
    QTest::addColumn<QList<int>>("olds");
    QTest::addColumn<QList<int>>("news");

    QTest::newRow("table rewrite") << QList<int>{kOldSelector, kOldBracket, kOldComment}
                                   << QList<int>{kSelector, kBracket, kComment};
    QTest::newRow("coloured anew") << QList<int>{kOldSelector, kOldSelector, kOldComment}
                                   << QList<int>{kSelector, kBracket, kComment};
}

void TestOptionsRules::restyleRewritesTheTableOrColoursAnew()
{
    QFETCH(QList<int>, olds);
    QFETCH(QList<int>, news);

    // A sheet as the document colouring left it in the old colours and font.
    const QString text = QStringLiteral("h1 {\r\n  color: red; /* } */\r\n}");
    const SyntaxColours old = SyntaxColours::fromValues(olds[0], olds[1], olds[2]);
    RtfContent content;
    content.text = text;
    content.colours.assign(size_t(text.size()), kAutoColour);
    content.fontName = QStringLiteral("Old Font");
    content.fontHalfPoints = 20;
    bool commentOpen = false;
    const QString rtf = ColourRtfText(writeRtf(content),
                                      ColourTableText(old.selectorDefinition, old.bracketDefinition,
                                                      old.commentDefinition),
                                      commentOpen);

    const RestylePlan plan = PlanRestyle(old, {news[0], news[1], news[2]});
    const std::optional<RtfContent> after = readRtf(
        RestyleRtf(rtf, text, QStringLiteral("Old Font"), QStringLiteral("New Font"), 24, plan));
    QVERIFY(after);
    QCOMPARE(after->text, text);
    QCOMPARE(after->fontName, QStringLiteral("New Font"));
    QCOMPARE(after->fontHalfPoints, 24);
    QString codes; // lines joined by "|", breaks left out
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r')
            codes += u'|';
        else if (text[i] != u'\n')
            codes += colourCode(after->colours[size_t(i)]);
    }
    // Selector, braces and the comment in the new colours, the rest automatic.
    QCOMPARE(codes, QStringLiteral("sssb|..............ccccccc|b"));
}

void TestOptionsRules::usableFontName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("usable");
    QTest::newRow("plain") << "DejaVu Sans Mono" << true;
    QTest::newRow("non-ASCII") << QString::fromUtf8("Noto Sans \u00c9") << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blanks only") << "   " << false;
    QTest::newRow("semicolon ends the table entry") << "Mono;" << false;
    QTest::newRow("brace") << "Mo{no" << false;
    QTest::newRow("closing brace") << "Mono}" << false;
    QTest::newRow("backslash") << "Mo\\no" << false;
    QTest::newRow("control character") << "Mo\tno" << false;
}

void TestOptionsRules::usableFontName()
{
    QFETCH(QString, name);
    QFETCH(bool, usable);
    QCOMPARE(IsUsableFontName(name), usable);
}

QTEST_APPLESS_MAIN(TestOptionsRules)
#include "tst_optionsrules.moc"
