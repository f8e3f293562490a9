#include "text/words.h"

#include <QTest>

#include <limits>

using namespace sheetsmith;

namespace {

constexpr qsizetype kOmitted = std::numeric_limits<qsizetype>::min();

} // namespace

class TestWords : public QObject
{
    Q_OBJECT

private slots:
    void isWordChar_data();
    void isWordChar();
    void findWholeWord_data();
    void findWholeWord();
    void findInText_data();
    void findInText();
};

void TestWords::isWordChar_data()
{
    QTest::addColumn<QString>("ch");
    QTest::addColumn<bool>("expected");
    for (const char *d : {":", " ", ".", ";", ",", "\n", "\r", "\t"})
        QTest::addRow("delimiter %d", int(*d)) << QString::fromLatin1(d) << false;
    QTest::newRow("letter") << "a" << true;
    QTest::newRow("hyphen") << "-" << true;
    QTest::newRow("brace") << "{" << true;
    QTest::newRow("empty text") << "" << true;
    QTest::newRow("two delimiters are not one") << ";;" << true;
}

void TestWords::isWordChar()
{
    QFETCH(QString, ch);
    QFETCH(bool, expected);
    QCOMPARE(IsWordChar(ch), expected);
}

void TestWords::findWholeWord_data()
{
    QTest::addColumn<qsizetype>("start");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("word");
    QTest::addColumn<qsizetype>("expected");

    QTest::newRow("skips background-color")
        << qsizetype(1) << "background-color: red; color: blue;" << "color" << qsizetype(24);
    QTest::newRow("word at the very end is never whole")
        << qsizetype(1) << "p color" << "color" << qsizetype(0);
    QTest::newRow("match at position 1") << qsizetype(1) << "color: red" << "color" << qsizetype(1);
    QTest::newRow("letter case ignored") << qsizetype(1) << "COLOR: red" << "Color" << qsizetype(1);
    QTest::newRow("start inside the first match")
        << qsizetype(2) << "color: x; color: y" << "color" << qsizetype(11);
    QTest::newRow("start exactly at a match")
        << qsizetype(11) << "color: x; color: y" << "color" << qsizetype(11);
    QTest::newRow("word character before") << qsizetype(1) << "xcolor: red" << "color" << qsizetype(0);
    QTest::newRow("word character after") << qsizetype(1) << "colors: red" << "color" << qsizetype(0);
    QTest::newRow("CR LF and tab delimit")
        << qsizetype(1) << "a\r\ncolor\tb" << "color" << qsizetype(4);
    QTest::newRow("retry one past a failed match, not past the word")
        << qsizetype(1) << "aaa aa;" << "aa" << qsizetype(5);
    QTest::newRow("start below 1 read as 1") << qsizetype(0) << "color: x" << "color" << qsizetype(1);
    QTest::newRow("start past the end") << qsizetype(50) << "color: x" << "color" << qsizetype(0);
    QTest::newRow("empty word") << qsizetype(1) << "a b" << "" << qsizetype(0);
    QTest::newRow("empty text") << qsizetype(1) << "" << "color" << qsizetype(0);
}

void TestWords::findWholeWord()
{
    QFETCH(qsizetype, start);
    QFETCH(QString, text);
    QFETCH(QString, word);
    QFETCH(qsizetype, expected);
    QCOMPARE(FindWholeWord(start, text, word), expected);
}

void TestWords::findInText_data()
{
    QTest::addColumn<qsizetype>("selStart");
    QTest::addColumn<qsizetype>("selLength");
    QTest::addColumn<QString>("what");
    QTest::addColumn<qsizetype>("start");
    QTest::addColumn<qsizetype>("end");
    QTest::addColumn<int>("options"); // 2: whole word, 4: match case, as the editor's
    QTest::addColumn<qsizetype>("found");
    // "abc ABC xabc abc" CR LF "abc": matches of abc at 0, 4 (case), 9 (in a word),
    // 13, 18.
    const qsizetype o = kOmitted;
    QTest::newRow("no range, no selection: whole text") << qsizetype(5) << qsizetype(0) << "abc" << o << o << 0
                                                        << qsizetype(0);
    QTest::newRow("no range: only the selection") << qsizetype(8) << qsizetype(8) << "abc" << o << o << 0
                                                  << qsizetype(9);
    QTest::newRow("no range: match must fit the selection") << qsizetype(9) << qsizetype(2) << "abc" << o << o
                                                            << 0 << qsizetype(-1);
    QTest::newRow("start only: to the end") << qsizetype(0) << qsizetype(0) << "abc" << qsizetype(1) << o << 0
                                            << qsizetype(4);
    QTest::newRow("end only: from the start") << qsizetype(13) << qsizetype(3) << "abc" << o << qsizetype(6) << 0
                                              << qsizetype(0);
    QTest::newRow("match case") << qsizetype(0) << qsizetype(0) << "abc" << qsizetype(1) << o << 4
                                << qsizetype(9);
    QTest::newRow("whole word") << qsizetype(0) << qsizetype(0) << "abc" << qsizetype(5) << o << 2
                                << qsizetype(13);
    QTest::newRow("whole word and match case") << qsizetype(0) << qsizetype(0) << "ABC" << qsizetype(0) << o << 6
                                               << qsizetype(4);
    QTest::newRow("range too short for the match") << qsizetype(0) << qsizetype(0) << "abc" << qsizetype(13)
                                                   << qsizetype(15) << 0 << qsizetype(-1);
    QTest::newRow("range just holding the match") << qsizetype(0) << qsizetype(0) << "abc" << qsizetype(13)
                                                  << qsizetype(16) << 0 << qsizetype(13);
    QTest::newRow("backwards: nearest to start") << qsizetype(0) << qsizetype(0) << "abc" << qsizetype(15)
                                                 << qsizetype(0) << 0 << qsizetype(13);
    QTest::newRow("backwards: match at start") << qsizetype(0) << qsizetype(0) << "abc" << qsizetype(13)
                                               << qsizetype(0) << 0 << qsizetype(13);
    QTest::newRow("backwards: just before a match") << qsizetype(0) << qsizetype(0) << "abc" << qsizetype(12)
                                                    << qsizetype(0) << 0 << qsizetype(9);
    QTest::newRow("backwards: not before end") << qsizetype(0) << qsizetype(0) << "abc" << qsizetype(12)
                                               << qsizetype(10) << 0 << qsizetype(-1);
    QTest::newRow("backwards: whole word") << qsizetype(0) << qsizetype(0) << "abc" << qsizetype(12)
                                           << qsizetype(0) << 2 << qsizetype(4);
    QTest::newRow("backwards: whole word, match case") << qsizetype(0) << qsizetype(0) << "abc" << qsizetype(12)
                                                       << qsizetype(0) << 6 << qsizetype(0);
    QTest::newRow("across a break") << qsizetype(0) << qsizetype(0) << "abc\r\nab" << o << o << 0
                                    << qsizetype(13);
    QTest::newRow("last line") << qsizetype(0) << qsizetype(0) << "abc" << qsizetype(17) << o << 0
                               << qsizetype(18);
    QTest::newRow("whole word at the text end") << qsizetype(0) << qsizetype(0) << "abc" << qsizetype(14) << o
                                                << 2 << qsizetype(18);
    QTest::newRow("not found") << qsizetype(2) << qsizetype(0) << "zzz" << o << o << 0 << qsizetype(-1);
    QTest::newRow("start past the end") << qsizetype(2) << qsizetype(0) << "abc" << qsizetype(99) << o << 0
                                        << qsizetype(-1);
    QTest::newRow("negative start") << qsizetype(2) << qsizetype(0) << "abc" << qsizetype(-7) << o << 0
                                    << qsizetype(0);
    QTest::newRow("empty pattern") << qsizetype(2) << qsizetype(0) << "" << o << o << 0 << qsizetype(-1);
}

void TestWords::findInText()
{
    QFETCH(qsizetype, selStart);
    QFETCH(qsizetype, selLength);
    QFETCH(QString, what);
    QFETCH(qsizetype, start);
    QFETCH(qsizetype, end);
    QFETCH(int, options);
    QFETCH(qsizetype, found);
    const QString text = QStringLiteral("abc ABC xabc abc\r\nabc");
    const auto bound = [](qsizetype v) { return v == kOmitted ? std::nullopt : std::optional<qsizetype>(v); };
    const FindOptions how{(options & 2) != 0, (options & 4) != 0};
    QCOMPARE(FindInText(text, what, selStart, selLength, bound(start), bound(end), how), found);
}

QTEST_MAIN(TestWords)
#include "tst_words.moc"
