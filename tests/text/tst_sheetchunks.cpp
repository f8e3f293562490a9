#include "text/sheetchunks.h"

#include <QTest>

#include <random>

using namespace sheetsmith;

// Where a sheet may be cut into pieces for the live preview, and how two cuttings differ.
class TestSheetChunks : public QObject
{
    Q_OBJECT

private slots:
    void cutsOnlyAfterATopLevelBlock_data();
    void cutsOnlyAfterATopLevelBlock();
    void anEditChangesOnlyItsPiece();
    void cuttingAgainAfterAnEditGivesTheWholeCutting();
};

void TestSheetChunks::cutsOnlyAfterATopLevelBlock_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QStringList>("pieces");
    // With a target of one character, every place a cut may fall is cut.
    QTest::newRow("blocks") << "a{}b{}c{}" << QStringList{"a{}", "b{}", "c{}"};
    QTest::newRow("nested at-rule") << "@media x{a{}b{}}c{}" << QStringList{"@media x{a{}b{}}", "c{}"};
    QTest::newRow("before an at-rule") << "a{}\n/*x*/ @import 'y';b{}" << QStringList{"a{}\n/*x*/ @import 'y';b{}"};
    QTest::newRow("brace in a comment") << "a{/*}*/}b{}" << QStringList{"a{/*}*/}", "b{}"};
    QTest::newRow("brace in a string") << "a{content:\"}\"}b{}" << QStringList{"a{content:\"}\"}", "b{}"};
    QTest::newRow("brace in url") << "a{background:url(x}y)}b{}" << QStringList{"a{background:url(x}y)}", "b{}"};
    QTest::newRow("escaped brace") << "a\\}{}b{}" << QStringList{"a\\}{}", "b{}"};
    QTest::newRow("stray brace") << "}a{}b{}" << QStringList{"}a{}", "b{}"};
    QTest::newRow("open comment") << "a{}/*b{}c{}" << QStringList{"a{}", "/*b{}c{}"};
    QTest::newRow("open block") << "a{b{}" << QStringList{"a{b{}"};
    QTest::newRow("empty") << "" << QStringList{""};
}

void TestSheetChunks::cutsOnlyAfterATopLevelBlock()
{
    QFETCH(QString, sheet);
    QFETCH(QStringList, pieces);
    QCOMPARE(SplitSheetChunks(sheet, 1), pieces);
}

void TestSheetChunks::anEditChangesOnlyItsPiece()
{
    QString sheet;
    for (int i = 0; i < 2000; ++i)
        sheet += QStringLiteral(".r%1 { color: red }\n").arg(i);
    const QStringList before = SplitSheetChunks(sheet, 4096);
    QVERIFY(before.size() > 5);
    QCOMPARE(before.join(QString()), sheet);

    QString edited = sheet;
    edited.replace(QStringLiteral(".r1000 { color: red }"), QStringLiteral(".r1000 { color: blue; margin: 0 }"));
    const QStringList after = SplitSheetChunks(edited, 4096);
    QCOMPARE(after.join(QString()), edited);
    const ChunkSplice splice = DiffChunks(before, after);
    QCOMPARE(splice.removed, 1);
    QCOMPARE(splice.inserted.size(), 1);
    QVERIFY(splice.inserted.first().contains(u"color: blue"));

    QVERIFY(DiffChunks(after, after).isEmpty());
}

void TestSheetChunks::cuttingAgainAfterAnEditGivesTheWholeCutting()
{
    // Random edits, many of them of the characters that decide where a cut may fall.
    const QStringList bits{"a { color: red }\n", "}", "{", "/*", "*/", "\"", "@import 'x';", "url(", ")", " ", "\n"};
    QString text;
    for (int i = 0; i < 400; ++i)
        text += QStringLiteral(".r%1 { margin: 0 }\n").arg(i);
    std::mt19937 random(7);
    QStringList pieces = SplitSheetChunks(text, 200);
    for (int step = 0; step < 2000; ++step) {
        // Often just after a cut, where an at-rule or a "}" changes the cut before it.
        qsizetype at = qsizetype(random() % (text.size() + 1));
        if (random() % 2 == 0) {
            at = 0;
            for (qsizetype i = 0, last = qsizetype(random() % pieces.size()); i < last; ++i)
                at += pieces[i].size();
        }
        const qsizetype gone = qMin<qsizetype>(text.size() - at, random() % 4 == 0 ? random() % 40 : 0);
        text.replace(at, gone, random() % 3 == 0 ? QString() : bits[random() % bits.size()]);
        const QStringList again = ResplitSheetChunks(pieces, text, 200);
        pieces = SplitSheetChunks(text, 200);
        QCOMPARE(again, pieces);
    }
}

QTEST_APPLESS_MAIN(TestSheetChunks)
#include "tst_sheetchunks.moc"
