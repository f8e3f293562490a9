#include "text/colourvalue.h"

#include <QTest>

using namespace sheetsmith;

class TestColourValue : public QObject
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
    void hexDigitValue_data();
    void hexDigitValue();
};

void TestColourValue::webSafeColor_data()
{
    QTest::addColumn<qint32>("color");
    QTest::addColumn<qint32>("expected");
    QTest::newRow("25,26,255 -> 0,51,255") << makeColour(25, 26, 255) << makeColour(0, 51, 255);
    QTest::newRow("black stays") << makeColour(0, 0, 0) << makeColour(0, 0, 0);
    QTest::newRow("white stays") << makeColour(255, 255, 255) << makeColour(255, 255, 255);
    QTest::newRow("127 down, 128 up, per component")
        << makeColour(127, 128, 230) << makeColour(102, 153, 255);
    QTest::newRow("components do not bleed into each other")
        << makeColour(255, 0, 0) << makeColour(255, 0, 0);
    QTest::newRow("blue alone") << makeColour(0, 0, 77) << makeColour(0, 0, 102);
}

void TestColourValue::webSafeColor()
{
    QFETCH(qint32, color);
    QFETCH(qint32, expected);
    QCOMPARE(WebSafeColor(color), expected);
}

void TestColourValue::colorToRGBText_data()
{
    QTest::addColumn<qint32>("color");
    QTest::addColumn<QString>("sep");
    QTest::addColumn<QString>("expected");
    QTest::newRow("comma") << makeColour(51, 102, 153) << "," << "51,102,153";
    QTest::newRow("vertical bar") << makeColour(51, 102, 153) << "|" << "51|102|153";
    QTest::newRow("black, no leading zeros") << 0 << "," << "0,0,0";
    QTest::newRow("white") << makeColour(255, 255, 255) << "," << "255,255,255";
    QTest::newRow("longer separator") << makeColour(1, 2, 3) << ", " << "1, 2, 3";
}

void TestColourValue::colorToRGBText()
{
    QFETCH(qint32, color);
    QFETCH(QString, sep);
    QFETCH(QString, expected);
    QCOMPARE(ColorToRGBText(color, sep), expected);
}

void TestColourValue::rgbTextToHex_data()
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

void TestColourValue::rgbTextToHex()
{
    QFETCH(QString, text);
    QFETCH(QString, sep);
    QFETCH(QString, expected);
    QCOMPARE(RGBTextToHex(text, sep), expected);
}

void TestColourValue::colorToHex_data()
{
    QTest::addColumn<qint32>("color");
    QTest::addColumn<QString>("expected");
    QTest::newRow("204,0,51") << makeColour(204, 0, 51) << "CC0033";
    QTest::newRow("black") << 0 << "000000";
    QTest::newRow("255,0,153") << makeColour(255, 0, 153) << "FF0099";
    QTest::newRow("white") << makeColour(255, 255, 255) << "FFFFFF";
    QTest::newRow("negative value: a colour, no error") << qint32(-1) << "FF0000";
}

void TestColourValue::colorToHex()
{
    QFETCH(qint32, color);
    QFETCH(QString, expected);
    QCOMPARE(ColorToHex(color), expected);
}

void TestColourValue::hexToColor_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("expected");
    QTest::newRow("empty is black") << "" << 0;
    QTest::newRow("#000000 is black") << "#000000" << 0;
    QTest::newRow("#336699") << "#336699" << makeColour(51, 102, 153);
    QTest::newRow("lower case digits") << "#ff0099" << makeColour(255, 0, 153);
    QTest::newRow("first character dropped, whatever it is") << "x336699" << makeColour(51, 102, 153);
    QTest::newRow("no # loses the first digit") << "336699" << 0x996936;
    QTest::newRow("three digits") << "#FFF" << 0xFFFFF;
    QTest::newRow("# alone") << "#" << 0;
    QTest::newRow("non-digit first after reordering") << "#GG0000" << 0;
    QTest::newRow("reading stops at a non-digit") << "#12345G" << 5;
    QTest::newRow("longer text: last two, third and fourth, first two") << "#11223344" << 0x442211;
}

void TestColourValue::hexToColor()
{
    QFETCH(QString, text);
    QFETCH(qint32, expected);
    QCOMPARE(HexToColor(text), expected);
}

void TestColourValue::hexRoundTrip()
{
    // What the inspector writes must read back as the same colour.
    for (const qint32 c : {makeColour(0, 0, 0), makeColour(255, 0, 0), makeColour(0, 255, 0), makeColour(0, 0, 255),
                           makeColour(51, 102, 153), makeColour(204, 0, 51), makeColour(255, 255, 255)}) {
        QCOMPARE(HexToColor(QStringLiteral("#") + ColorToHex(c)), c);
    }
}

void TestColourValue::hexDigitValue_data()
{
    QTest::addColumn<QChar>("c");
    QTest::addColumn<int>("expected");
    QTest::newRow("0") << QChar(u'0') << 0;
    QTest::newRow("9") << QChar(u'9') << 9;
    QTest::newRow("a") << QChar(u'a') << 10;
    QTest::newRow("f") << QChar(u'f') << 15;
    QTest::newRow("A") << QChar(u'A') << 10;
    QTest::newRow("F") << QChar(u'F') << 15;
    // The neighbours of each range.
    QTest::newRow("/ before 0") << QChar(u'/') << -1;
    QTest::newRow(": after 9") << QChar(u':') << -1;
    QTest::newRow("` before a") << QChar(u'`') << -1;
    QTest::newRow("g after f") << QChar(u'g') << -1;
    QTest::newRow("@ before A") << QChar(u'@') << -1;
    QTest::newRow("G after F") << QChar(u'G') << -1;
    QTest::newRow("full-width digit") << QChar(0xFF11) << -1;
}

void TestColourValue::hexDigitValue()
{
    QFETCH(QChar, c);
    QFETCH(int, expected);
    QCOMPARE(sheetsmith::hexDigitValue(c), expected);
}

QTEST_MAIN(TestColourValue)
#include "tst_colourvalue.moc"
