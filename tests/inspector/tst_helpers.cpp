#include "editor/textmodel.h"
#include "inspector/helpers.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QListWidget>
#include <QTest>

using namespace sheetsmith;

namespace {

constexpr qint32 rgb(int r, int g, int b)
{
    return r + 256 * g + 65536 * b;
}

// Three lines "ab", "" and "cdef": a=0 b=1 CR=2 LF=3 | CR=4 LF=5 | c=6 d=7 e=8 f=9.
const QString kThreeLines = QStringLiteral("ab\r\n\r\ncdef");

} // namespace

class TestHelpers : public QObject
{
    Q_OBJECT

private slots:
    void webSafeColor_data();
    void webSafeColor();
    void colorToRGBText_data();
    void colorToRGBText();
    void rgbTextToHex_data();
    void rgbTextToHex();
    void colorToHex_data();
    void colorToHex();
    void hexToColor_data();
    void hexToColor();
    void hexRoundTrip();
    void isWordChar_data();
    void isWordChar();
    void findWholeWord_data();
    void findWholeWord();
    void lineOfChar_data();
    void lineOfChar();
    void lineStart_data();
    void lineStart();
    void lineLength_data();
    void lineLength();
    void lineText_data();
    void lineText();
    void caretLineAndColumn_data();
    void caretLineAndColumn();
    void lineCount_data();
    void lineCount();
    void fillFontListReplacesContent();
};

void TestHelpers::webSafeColor_data()
{
    QTest::addColumn<qint32>("color");
    QTest::addColumn<qint32>("expected");
    QTest::newRow("25,26,255 -> 0,51,255") << rgb(25, 26, 255) << rgb(0, 51, 255);
    QTest::newRow("black stays") << rgb(0, 0, 0) << rgb(0, 0, 0);
    QTest::newRow("white stays") << rgb(255, 255, 255) << rgb(255, 255, 255);
    QTest::newRow("127 down, 128 up, per component")
        << rgb(127, 128, 230) << rgb(102, 153, 255);
    QTest::newRow("components do not bleed into each other")
        << rgb(255, 0, 0) << rgb(255, 0, 0);
    QTest::newRow("blue alone") << rgb(0, 0, 77) << rgb(0, 0, 102);
}

void TestHelpers::webSafeColor()
{
    QFETCH(qint32, color);
    QFETCH(qint32, expected);
    QCOMPARE(WebSafeColor(color), expected);
}

void TestHelpers::colorToRGBText_data()
{
    QTest::addColumn<qint32>("color");
    QTest::addColumn<QString>("sep");
    QTest::addColumn<QString>("expected");
    QTest::newRow("comma") << rgb(51, 102, 153) << "," << "51,102,153";
    QTest::newRow("vertical bar") << rgb(51, 102, 153) << "|" << "51|102|153";
    QTest::newRow("black, no leading zeros") << 0 << "," << "0,0,0";
    QTest::newRow("white") << rgb(255, 255, 255) << "," << "255,255,255";
    QTest::newRow("longer separator") << rgb(1, 2, 3) << ", " << "1, 2, 3";
}

void TestHelpers::colorToRGBText()
{
    QFETCH(qint32, color);
    QFETCH(QString, sep);
    QFETCH(QString, expected);
    QCOMPARE(ColorToRGBText(color, sep), expected);
}

void TestHelpers::rgbTextToHex_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("sep");
    QTest::addColumn<QString>("expected");
    QTest::newRow("204,0,51") << "204,0,51" << "," << "CC0033";
    QTest::newRow("vertical bar") << "255|0|153" << "|" << "FF0099";
    QTest::newRow("single digits padded") << "1,2,3" << "," << "010203";
    QTest::newRow("blanks around numbers") << " 10, 11 ,12" << "," << "0A0B0C";
    QTest::newRow("extra pieces ignored") << "1,2,3,4" << "," << "010203";
    QTest::newRow("missing piece reads 0") << "1,2" << "," << "010200";
    QTest::newRow("no number reads 0") << "abc,16,x" << "," << "001000";
    QTest::newRow("empty text") << "" << "," << "000000";
    QTest::newRow("over 255 keeps the low byte") << "256,511,0" << "," << "00FF00";
    QTest::newRow("negative keeps the low byte") << "-1,0,0" << "," << "FF0000";
    QTest::newRow("wrong separator") << "1|2|3" << "," << "010000";
}

void TestHelpers::rgbTextToHex()
{
    QFETCH(QString, text);
    QFETCH(QString, sep);
    QFETCH(QString, expected);
    QCOMPARE(RGBTextToHex(text, sep), expected);
}

void TestHelpers::colorToHex_data()
{
    QTest::addColumn<qint32>("color");
    QTest::addColumn<QString>("expected");
    QTest::newRow("204,0,51") << rgb(204, 0, 51) << "CC0033";
    QTest::newRow("black") << 0 << "000000";
    QTest::newRow("255,0,153") << rgb(255, 0, 153) << "FF0099";
    QTest::newRow("white") << rgb(255, 255, 255) << "FFFFFF";
    QTest::newRow("negative value: a colour, no error") << qint32(-1) << "FF0000";
}

void TestHelpers::colorToHex()
{
    QFETCH(qint32, color);
    QFETCH(QString, expected);
    QCOMPARE(ColorToHex(color), expected);
}

void TestHelpers::hexToColor_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("expected");
    QTest::newRow("empty is black") << "" << 0;
    QTest::newRow("#000000 is black") << "#000000" << 0;
    QTest::newRow("#336699") << "#336699" << rgb(51, 102, 153);
    QTest::newRow("lower case digits") << "#ff0099" << rgb(255, 0, 153);
    QTest::newRow("first character dropped, whatever it is") << "x336699" << rgb(51, 102, 153);
    QTest::newRow("no # loses the first digit") << "336699" << 0x996936;
    QTest::newRow("three digits") << "#FFF" << 0xFFFFF;
    QTest::newRow("# alone") << "#" << 0;
    QTest::newRow("non-digit first after reordering") << "#GG0000" << 0;
    QTest::newRow("reading stops at a non-digit") << "#12345G" << 5;
    QTest::newRow("longer text: last two, third and fourth, first two") << "#11223344" << 0x442211;
}

void TestHelpers::hexToColor()
{
    QFETCH(QString, text);
    QFETCH(qint32, expected);
    QCOMPARE(HexToColor(text), expected);
}

void TestHelpers::hexRoundTrip()
{
    // What the inspector writes must read back as the same colour.
    for (const qint32 c : {rgb(0, 0, 0), rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255),
                           rgb(51, 102, 153), rgb(204, 0, 51), rgb(255, 255, 255)}) {
        QCOMPARE(HexToColor(QStringLiteral("#") + ColorToHex(c)), c);
    }
}

void TestHelpers::isWordChar_data()
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

void TestHelpers::isWordChar()
{
    QFETCH(QString, ch);
    QFETCH(bool, expected);
    QCOMPARE(IsWordChar(ch), expected);
}

void TestHelpers::findWholeWord_data()
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

void TestHelpers::findWholeWord()
{
    QFETCH(qsizetype, start);
    QFETCH(QString, text);
    QFETCH(QString, word);
    QFETCH(qsizetype, expected);
    QCOMPARE(FindWholeWord(start, text, word), expected);
}

void TestHelpers::lineOfChar_data()
{
    QTest::addColumn<qsizetype>("index");
    QTest::addColumn<int>("expected");
    QTest::newRow("first character") << qsizetype(0) << 1;
    QTest::newRow("CR of a break") << qsizetype(2) << 1;
    QTest::newRow("LF of a break belongs to its line") << qsizetype(3) << 1;
    QTest::newRow("empty line's CR") << qsizetype(4) << 2;
    QTest::newRow("empty line's LF") << qsizetype(5) << 2;
    QTest::newRow("start of the last line") << qsizetype(6) << 3;
    QTest::newRow("end of the text") << qsizetype(10) << 3;
    QTest::newRow("past the end") << qsizetype(100) << 3;
    QTest::newRow("negative") << qsizetype(-1) << 1;
}

void TestHelpers::lineOfChar()
{
    QFETCH(qsizetype, index);
    QFETCH(int, expected);
    QCOMPARE(LineOfChar(TextModel(kThreeLines), index), expected);
}

void TestHelpers::lineStart_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<qsizetype>("expected");
    QTest::newRow("line 1") << 1 << qsizetype(1);
    QTest::newRow("empty line 2") << 2 << qsizetype(5);
    QTest::newRow("last line") << 3 << qsizetype(7);
    QTest::newRow("past the end") << 4 << qsizetype(0);
    QTest::newRow("line 0") << 0 << qsizetype(0);
}

void TestHelpers::lineStart()
{
    QFETCH(int, line);
    QFETCH(qsizetype, expected);
    QCOMPARE(LineStart(TextModel(kThreeLines), line), expected);
}

void TestHelpers::lineLength_data()
{
    QTest::addColumn<qsizetype>("index");
    QTest::addColumn<qsizetype>("expected");
    QTest::newRow("in line 1") << qsizetype(0) << qsizetype(2);
    QTest::newRow("LF of line 1") << qsizetype(3) << qsizetype(2);
    QTest::newRow("empty line") << qsizetype(5) << qsizetype(0);
    QTest::newRow("last line") << qsizetype(6) << qsizetype(4);
    QTest::newRow("end of text") << qsizetype(10) << qsizetype(4);
    QTest::newRow("past the end") << qsizetype(11) << qsizetype(0);
    QTest::newRow("negative") << qsizetype(-1) << qsizetype(0);
}

void TestHelpers::lineLength()
{
    QFETCH(qsizetype, index);
    QFETCH(qsizetype, expected);
    QCOMPARE(LineLength(TextModel(kThreeLines), index), expected);
}

void TestHelpers::lineText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first line") << kThreeLines << 1 << "ab";
    QTest::newRow("empty line") << kThreeLines << 2 << "";
    QTest::newRow("last line without break") << kThreeLines << 3 << "cdef";
    QTest::newRow("past the end") << kThreeLines << 4 << "";
    QTest::newRow("line 0") << kThreeLines << 0 << "";
    QTest::newRow("one-character last line") << "ab\r\nc" << 2 << "c";
    QTest::newRow("one-character line before a break") << "x\r\nyz" << 1 << "x";
    QTest::newRow("empty last line after a break") << "ab\r\n" << 2 << "";
    QTest::newRow("non-ASCII") << QString::fromUtf8("é\r\n\u00fcber") << 2 << QString::fromUtf8("über");
    QTest::newRow("tabs kept") << "\ta\t" << 1 << "\ta\t";
}

void TestHelpers::lineText()
{
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(QString, expected);
    QCOMPARE(LineText(TextModel(text), line), expected);
}

void TestHelpers::caretLineAndColumn_data()
{
    QTest::addColumn<qsizetype>("caret");
    QTest::addColumn<int>("line");
    QTest::addColumn<qsizetype>("column");
    QTest::newRow("start of text") << qsizetype(0) << 1 << qsizetype(1);
    QTest::newRow("end of line 1") << qsizetype(2) << 1 << qsizetype(3);
    QTest::newRow("start of the empty line") << qsizetype(4) << 2 << qsizetype(1);
    QTest::newRow("start of the last line") << qsizetype(6) << 3 << qsizetype(1);
    QTest::newRow("end of the text") << qsizetype(10) << 3 << qsizetype(5);
}

void TestHelpers::caretLineAndColumn()
{
    QFETCH(qsizetype, caret);
    QFETCH(int, line);
    QFETCH(qsizetype, column);
    const TextModel model(kThreeLines);
    QCOMPARE(CaretLine(model, caret), line);
    QCOMPARE(CaretColumn(model, caret), column);
}

void TestHelpers::lineCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("empty text has one line") << "" << 1;
    QTest::newRow("three lines") << kThreeLines << 3;
    QTest::newRow("final break opens a line") << "a\r\n" << 2;
    QTest::newRow("over 32767 lines") << QString(40000, u'\n') << 40001;
}

void TestHelpers::lineCount()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(LineCount(TextModel(text)), expected);
}

void TestHelpers::fillFontListReplacesContent()
{
    const QStringList families = QFontDatabase::families();

    QComboBox combo;
    combo.addItem(QStringLiteral("stale entry"));
    FillFontList(&combo);
    QStringList comboItems;
    for (int i = 0; i < combo.count(); ++i)
        comboItems << combo.itemText(i);
    QCOMPARE(comboItems, families);

    QListWidget list;
    list.addItem(QStringLiteral("stale entry"));
    FillFontList(&list);
    QStringList listItems;
    for (int i = 0; i < list.count(); ++i)
        listItems << list.item(i)->text();
    QCOMPARE(listItems, families);

    FillFontList(static_cast<QComboBox *>(nullptr));
    FillFontList(static_cast<QListWidget *>(nullptr));
}

QTEST_MAIN(TestHelpers)
#include "tst_helpers.moc"
