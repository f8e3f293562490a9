#include "blocks/root.h"
#include "blocks/scanner.h"
#include "text/textmodel.h"
#include "inspector/blockvalues.h"
#include "text/words.h"

#include <QRandomGenerator>
#include <QTest>

using namespace sheetsmith;

class TestBlockValues : public QObject
{
    Q_OBJECT

private slots:
    void valueOfAProperty_data();
    void valueOfAProperty();
    void blockWithoutEndHoldsNothing();
    void boundedWholeWordSearch_data();
    void boundedWholeWordSearch();
    void namesFoundTogetherAsOneByOne_data();
    void namesFoundTogetherAsOneByOne();
    void caretPositionText_data();
    void caretPositionText();
};

void TestBlockValues::valueOfAProperty_data()
{
    QTest::addColumn<QString>("sheet"); // "|" marks line breaks; the block is the last one
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value"); // "<none>" when the block has no such property
    const QString none = QStringLiteral("<none>");
    QTest::newRow("plain") << "p {|  color: red;|}" << "color" << "red";
    QTest::newRow("important in capitals") << "p {|  color: red !IMPORTANT;|}" << "color" << "red";
    QTest::newRow("only in a comment") << "p {|  /* color: red */ margin: 0;|}" << "color" << none;
    QTest::newRow("comment after the value") << "p {|  margin: 0; /* was 2px */|}" << "margin" << "0";
    QTest::newRow("background-color before color") << "p {|  background-color: red; color: blue;|}"
                                                    << "color" << "blue";
    QTest::newRow("font-size before font") << "p {|  font-size: 12px; font: bold;|}" << "font" << "bold";
    QTest::newRow("longer name keeps its own") << "p {|  font-size: 12px; font: bold;|}" << "font-size"
                                               << "12px";
    QTest::newRow("no semicolon") << "p {|  color: red|}" << "color" << "red";
    QTest::newRow("rule on one line") << "a { margin: 0 }" << "margin" << "0";
    QTest::newRow("letter case of the name") << "p {|  COLOR: Red;|}" << "color" << "Red";
    QTest::newRow("not in this block") << "h1 {|  color: red;|}|p {|  margin: 0;|}" << "color" << none;
    QTest::newRow("only after the block") << "p {|  margin: 0;|}|color: red;" << "color" << none;
    QTest::newRow("selector line counts") << "p { color: red;|}" << "color" << "red";
    QTest::newRow("minified rule") << "p{color:red;margin:0}" << "margin" << "0";
    QTest::newRow("minified, first declaration") << "p{color:red}" << "color" << "red";
}

void TestBlockValues::valueOfAProperty()
{
    QFETCH(QString, sheet);
    QFETCH(QString, name);
    QFETCH(QString, value);
    const TextModel text(sheet.replace(u'|', QStringLiteral("\r\n")));
    Root blocks;
    ScanBlocks(text, ElementNames(), blocks);
    QVERIFY(blocks.Count() > 0);
    const std::optional<QString> got = DeclaredValue(text, blocks.Item(blocks.Count()), name);
    QCOMPARE(got.value_or(QStringLiteral("<none>")), value);
}

void TestBlockValues::blockWithoutEndHoldsNothing()
{
    const TextModel text(QStringLiteral("p {\r\n  color: red; /* } */\r\n"));
    Root blocks;
    ScanBlocks(text, ElementNames(), blocks);
    QCOMPARE(blocks.Count(), 1);
    QCOMPARE(blocks.Item(1).Ends(), 0);
    QVERIFY(!DeclaredValue(text, blocks.Item(1), QStringLiteral("color")));
}

void TestBlockValues::boundedWholeWordSearch_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("limit");
    QTest::addColumn<qsizetype>("found");
    QTest::newRow("before the limit") << "a color; b" << qsizetype(5) << qsizetype(3);
    QTest::newRow("starting at the limit") << "a color; b" << qsizetype(3) << qsizetype(0);
    // The character after the match is looked at even when it lies past the limit.
    QTest::newRow("delimiter past the limit") << "a color; b" << qsizetype(4) << qsizetype(3);
    QTest::newRow("no limit") << "x colors; color:" << qsizetype(100) << qsizetype(11);
}

void TestBlockValues::boundedWholeWordSearch()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, limit);
    QFETCH(qsizetype, found);
    QCOMPARE(FindWholeWord(1, text, QStringLiteral("color"), limit), found);
}

void TestBlockValues::namesFoundTogetherAsOneByOne_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= 8; ++seed)
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
}

void TestBlockValues::namesFoundTogetherAsOneByOne()
{
    // All names in one pass over a range must land where a whole-word search for each
    // name lands: same letter-case folding (the Kelvin sign and the long s fold to k and
    // s), same delimiters, same bounds; a name with a delimiter in it is searched alone.
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    const QStringList pieces = {"a", "B", "k", "s", "-", ":", " ", "{", "}", ";", ".", "\r\n",
                                QString(QChar(0x212A)), QString(QChar(0x017F)), QString::fromUtf8("\xC3\xA9")};
    const std::vector<QString> names = {"a", "ab", "b-a", "k", "s", "sa", "ka-b", "a b", "", "aaaa",
                                        QString::fromUtf8("\xC3\xA9") + u'a'};
    for (int round = 0; round < 200; ++round) {
        QString text;
        for (int i = random.bounded(40); i > 0; --i)
            text += pieces[random.bounded(int(pieces.size()))];
        const qsizetype start1 = random.bounded(int(text.size()) + 2);
        const qsizetype limit1 = random.bounded(int(text.size()) + 3);
        const std::vector<qsizetype> together = FindPropertyNames(text, start1, names, limit1);
        for (size_t i = 0; i < names.size(); ++i) {
            const qsizetype alone = FindWholeWord(start1, text, names[i], limit1, IsNameDelimiter);
            if (together[i] != alone)
                QFAIL(qPrintable(QStringLiteral("\"%1\" in \"%2\" from %3 before %4: %5, alone %6")
                                     .arg(names[i], text)
                                     .arg(start1)
                                     .arg(limit1)
                                     .arg(together[i])
                                     .arg(alone)));
        }
    }
}

void TestBlockValues::caretPositionText_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("count");
    QTest::addColumn<qsizetype>("column");
    QTest::addColumn<QString>("text");
    QTest::newRow("start of a one-line text") << 1 << 1 << qsizetype(1) << "Line 1 of  1, Col  1";
    QTest::newRow("line 3 of 12, column 5") << 3 << 12 << qsizetype(5) << "Line 3 of  12, Col  5";
    QTest::newRow("large sheet") << 78484 << 78485 << qsizetype(120) << "Line 78484 of  78485, Col  120";
}

void TestBlockValues::caretPositionText()
{
    QFETCH(int, line);
    QFETCH(int, count);
    QFETCH(qsizetype, column);
    QFETCH(QString, text);
    QCOMPARE(CaretPositionText(line, count, column), text);
}

QTEST_APPLESS_MAIN(TestBlockValues)
#include "tst_blockvalues.moc"
