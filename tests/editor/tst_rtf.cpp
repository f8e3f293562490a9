#include "editor/rtf.h"

#include <QRandomGenerator>
#include <QTest>

using namespace sheetsmith;

namespace {

const ColourValue kBlue = makeColour(0, 0, 255);
const ColourValue kRed = makeColour(128, 0, 0);
const ColourValue kGreen = makeColour(0, 128, 0);

RtfContent content(const QString &text, std::vector<ColourValue> colours = {},
                   const QString &font = QStringLiteral("Courier New"), int halfPoints = 20)
{
    if (colours.empty())
        colours.assign(size_t(text.size()), kAutoColour);
    return RtfContent{text, std::move(colours), font, halfPoints};
}

// The colour words the document colouring puts into one RTF text line, on the part
// after the line's prefix (which ends at the first blank): the selector before the
// last brace, every brace, and comments closed on the line.
QString colourLine(const QString &line)
{
    const qsizetype blank = line.indexOf(u' ');
    if (blank < 0 || line == QLatin1String("\\par }"))
        return line;
    const QString prefix = line.left(blank + 1);
    QString body = line.mid(blank + 1);
    const qsizetype brace = body.lastIndexOf(u'{');
    if (brace > 0) {
        const QString selector = body.left(brace - 1);
        if (!selector.isEmpty())
            body.replace(selector, "\\cf1 " + selector + "\\cf0 ");
    }
    body.replace(QStringLiteral("{"), QStringLiteral("cf2\\{\\cf0"));
    body.replace(QStringLiteral("}"), QStringLiteral("cf2\\}\\cf0"));
    const qsizetype open = body.indexOf(QStringLiteral("/*"));
    const qsizetype close = open < 0 ? -1 : body.indexOf(QStringLiteral("*/"), open);
    if (close >= 0) {
        const QString comment = body.mid(open, close + 2 - open);
        QString plain = comment;
        for (const char *word : {"\\cf1", "\\cf1 ", "\\cf2", "\\cf2 ", "\\cf0 ", "\\cf0"})
            plain.remove(QLatin1String(word));
        body.replace(comment, "\\cf3 " + plain + "\\cf0 ");
    }
    return prefix + body;
}

// The whole-document rewrite: a colour table after the header, then every text line.
QString colourDocument(QString rtf)
{
    if (!rtf.contains(QLatin1String("{\\colortbl ;")))
        rtf.replace(QStringLiteral("}}"),
                    QStringLiteral("}}\r\n{\\colortbl ;\\red0\\green0\\blue255;\\red128\\green0\\blue0;"
                                   "\\red0\\green128\\blue0;}"));
    QStringList lines = rtf.split(QStringLiteral("\r\n"));
    for (qsizetype i = 2; i <= lines.size() - 3; ++i)
        lines[i] = colourLine(lines[i]);
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace

class TestRtf : public QObject
{
    Q_OBJECT

private slots:
    void layoutOfPlainText();
    void layoutWithColours();
    void escapes_data();
    void escapes();
    void roundTrip_data();
    void roundTrip();
    void roundTripOfRandomContent();
    void colouringRewriteKeepsText_data();
    void colouringRewriteKeepsText();
    void colouringRewriteGivesColours();
    void reading_data();
    void reading();
    void notRtf_data();
    void notRtf();
    void malformedInputNeverFails_data();
    void malformedInputNeverFails();
    void everyTruncationIsRead();
    void deepNestingIsRead();
    void colourDefinitions_data();
    void colourDefinitions();
};

void TestRtf::layoutOfPlainText()
{
    const QString rtf = writeRtf(content(QStringLiteral("body {\r\n\r\n}"), {}, "Consolas", 24));
    const QStringList lines = rtf.split(QStringLiteral("\r\n"));
    const QStringList expected = {
        QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Consolas;}}"),
        QStringLiteral("\\viewkind4\\uc1\\pard\\f0\\fs24 body \\{"),
        QStringLiteral("\\par "),
        QStringLiteral("\\par \\}"),
        QStringLiteral("\\par }"),
        QString(),
    };
    QCOMPARE(lines, expected);
    // The header is the only place where "}}" stands.
    QCOMPARE(rtf.count(QStringLiteral("}}")), 1);
}

void TestRtf::layoutWithColours()
{
    const QString text = QStringLiteral("h1 {\r\nx");
    // "h1 " selector blue, "{" red, the break red, "x" automatic
    const std::vector<ColourValue> colours = {kBlue, kBlue, kBlue, kRed, kRed, kRed, kAutoColour};
    const QStringList lines = writeRtf(content(text, colours)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.value(1), QStringLiteral("{\\colortbl ;\\red0\\green0\\blue255;\\red128\\green0\\blue0;}"));
    QCOMPARE(lines.value(2), QStringLiteral("\\viewkind4\\uc1\\pard\\f0\\fs20 \\cf1 h1 \\cf2 \\{"));
    QCOMPARE(lines.value(3), QStringLiteral("\\par \\cf0 x"));
    QCOMPARE(lines.value(4), QStringLiteral("\\par }"));
}

void TestRtf::escapes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("line");
    QTest::newRow("braces and backslash") << "a{b}c\\d" << "a\\{b\\}c\\\\d";
    QTest::newRow("tab") << "a\tb" << "a\\tab b";
    QTest::newRow("Latin-1") << QString::fromUtf8("caf\xC3\xA9") << "caf\\u233?";
    QTest::newRow("above 0x7FFF is negative") << QString(QChar(0xFF01)) << "\\u-255?";
    QTest::newRow("surrogate pair as two") << QString::fromUtf8("\xF0\x9F\x98\x80") << "\\u-10179?\\u-8704?";
    QTest::newRow("control character") << QString(QChar(1)) << "\\'01";
    QTest::newRow("blank after brace protected") << "{ a" << "\\{\\'20a";
    QTest::newRow("digit after brace protected") << "}1" << "\\}\\'31";
    QTest::newRow("blank elsewhere plain") << "a b" << "a b";
}

void TestRtf::escapes()
{
    QFETCH(QString, text);
    QFETCH(QString, line);
    const QStringList lines = writeRtf(content(text)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.value(1), "\\viewkind4\\uc1\\pard\\f0\\fs20 " + line);
}

void TestRtf::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("colours"); // -1 automatic; empty: all automatic
    QTest::addColumn<QString>("font");
    QTest::addColumn<int>("halfPoints");
    const QList<int> none;
    QTest::newRow("empty text") << "" << none << "Courier New" << 20;
    QTest::newRow("one line") << "p { margin: 0 }" << none << "Consolas" << 21;
    QTest::newRow("empty lines") << "\r\n\r\na\r\n\r\n" << none << "Mono" << 20;
    QTest::newRow("only a break") << "\r\n" << none << "Mono" << 20;
    QTest::newRow("text ending in break") << "a\r\n" << none << "Mono" << 20;
    QTest::newRow("escapes") << "\\{}\\\\}{ 1{2" << none << "Mono" << 20;
    QTest::newRow("non-ASCII") << QString::fromUtf8("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xC3\xBF") << none
                               << "Mono" << 20;
    QTest::newRow("tabs and blanks") << "\t a\t\t  b " << none << "Mono" << 20;
    QTest::newRow("no font size") << "x" << none << "Mono" << 0;
    QTest::newRow("no font name") << "x" << none << "" << 20;
    QTest::newRow("non-ASCII font name") << "x" << none << QString::fromUtf8("M\xC3\xA9no") << 20;
    QTest::newRow("coloured runs") << "ab{c}" << QList<int>{0xFF, 0xFF, -1, 0, 0xFF0000} << "Mono" << 20;
    QTest::newRow("coloured break") << "a\r\nb" << QList<int>{-1, 5, 5, -1} << "Mono" << 20;
    QTest::newRow("colour before digit") << "a1" << QList<int>{-1, 7} << "Mono" << 20;
    QTest::newRow("colour before blank") << "a b" << QList<int>{-1, 7, -1} << "Mono" << 20;
    QTest::newRow("black is not automatic") << "ab" << QList<int>{0, -1} << "Mono" << 20;
}

void TestRtf::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, colours);
    QFETCH(QString, font);
    QFETCH(int, halfPoints);
    std::vector<ColourValue> list(colours.begin(), colours.end());
    const RtfContent original = content(text, list, font, halfPoints);
    const std::optional<RtfContent> back = readRtf(writeRtf(original));
    QVERIFY(back);
    QCOMPARE(back->text, original.text);
    QCOMPARE(back->colours, original.colours);
    QCOMPARE(back->fontName, original.fontName);
    QCOMPARE(back->fontHalfPoints, original.fontHalfPoints);
}

void TestRtf::roundTripOfRandomContent()
{
    // Texts drawn from the characters that need care, in random order and colour.
    const QList<QString> pieces = {
        "a", "Z", "0", "7", " ", "\t", "{", "}", "\\", ";", "*", "/*", "*/", "\r\n", "\r\n\r\n",
        QString::fromUtf8("\xC3\xA9"), QString::fromUtf8("\xE2\x82\xAC"),
        QString::fromUtf8("\xF0\x9F\x98\x80"), "\\par", "\\cf1", "?", "'", QString(QChar(0x7F)),
    };
    const std::vector<ColourValue> palette = {kAutoColour, 0, kBlue, kRed, kGreen, 0xFFFFFF};
    QRandomGenerator random(20240611);
    for (int round = 0; round < 400; ++round) {
        QString text;
        std::vector<ColourValue> colours;
        const int count = random.bounded(40);
        for (int i = 0; i < count; ++i) {
            const QString piece = pieces[random.bounded(int(pieces.size()))];
            const ColourValue colour = palette[size_t(random.bounded(int(palette.size())))];
            text += piece;
            colours.insert(colours.end(), size_t(piece.size()), colour);
        }
        const RtfContent original = content(text, colours);
        const std::optional<RtfContent> back = readRtf(writeRtf(original));
        QVERIFY(back);
        if (back->text != original.text || back->colours != original.colours)
            QFAIL(qPrintable("round trip changed: " + writeRtf(original)));
    }
}

void TestRtf::colouringRewriteKeepsText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("selector and braces") << "body {\r\n  color: red;\r\n}";
    QTest::newRow("one-line rule, blanks after braces") << "h1 { color: red }\r\np { margin: 0 }";
    QTest::newRow("digits after braces") << "a{1}2";
    QTest::newRow("closed comment with braces") << "/* { x } */ p { }";
    QTest::newRow("escaped backslash before brace") << "a\\{b\\}";
    QTest::newRow("non-ASCII selector") << QString::fromUtf8("\xC3\xA9t\xC3\xA9 {\r\n}");
    QTest::newRow("tab before brace") << "em\t{\r\n\t}";
    QTest::newRow("empty lines") << "\r\na {\r\n\r\n}\r\n";
}

void TestRtf::colouringRewriteKeepsText()
{
    QFETCH(QString, text);
    const QString coloured = colourDocument(writeRtf(content(text)));
    QVERIFY(coloured != writeRtf(content(text)));
    const std::optional<RtfContent> back = readRtf(coloured);
    QVERIFY(back);
    QCOMPARE(back->text, text);
    QCOMPARE(back->fontName, QStringLiteral("Courier New"));
    QCOMPARE(back->fontHalfPoints, 20);
}

void TestRtf::colouringRewriteGivesColours()
{
    const QString text = QStringLiteral("h1 { x }");
    const std::optional<RtfContent> back = readRtf(colourDocument(writeRtf(content(text))));
    QVERIFY(back);
    QCOMPARE(back->text, text);
    // h1 and its blank selector, braces brace-coloured, the rest automatic.
    const std::vector<ColourValue> expected = {kBlue, kBlue, kBlue, kRed, kAutoColour,
                                               kAutoColour, kAutoColour, kRed};
    QCOMPARE(back->colours, expected);
}

void TestRtf::reading_data()
{
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("font");
    QTest::addColumn<int>("halfPoints");
    QTest::newRow("minimal") << "{\\rtf1 hello}" << "hello" << "" << 0;
    QTest::newRow("par at line end, final par dropped")
        << "{\\rtf1{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\\f0\\fs22 a\\par\r\nb\\par\r\n}" << "a\r\nb"
        << "Arial" << 22;
    QTest::newRow("two final pars keep one empty line") << "{\\rtf1 a\\par\\par}" << "a\r\n" << "" << 0;
    QTest::newRow("final par before colour word") << "{\\rtf1 a\\par \\cf0 }" << "a" << "" << 0;
    QTest::newRow("line and tab") << "{\\rtf1 a\\line b\\tab c}" << "a\r\nb\tc" << "" << 0;
    QTest::newRow("hex escape in Windows-1252") << "{\\rtf1 \\'80\\'e9\\'41}" << QString::fromUtf8("\xE2\x82\xAC\xC3\xA9" "A")
                                                << "" << 0;
    QTest::newRow("unicode with fallback skipped") << "{\\rtf1\\uc1 caf\\u233e!}" << QString::fromUtf8("caf\xC3\xA9!")
                                                   << "" << 0;
    QTest::newRow("uc2 skips a hex escape and a char") << "{\\rtf1\\uc2 \\u8364\\'80e!}"
                                                       << QString::fromUtf8("\xE2\x82\xAC!") << "" << 0;
    QTest::newRow("uc0 skips nothing") << "{\\rtf1\\uc0 \\u233 e}" << QString::fromUtf8("\xC3\xA9" "e") << "" << 0;
    QTest::newRow("unicode skip ends with the group") << "{\\rtf1{\\uc3\\u233}x}" << QString::fromUtf8("\xC3\xA9x")
                                                       << "" << 0;
    QTest::newRow("ignorable destination skipped") << "{\\rtf1{\\*\\generator Writer 1.0;}x}" << "x" << "" << 0;
    QTest::newRow("known destinations skipped")
        << "{\\rtf1{\\info{\\title T}}{\\stylesheet{\\s0 Normal;}}x}" << "x" << "" << 0;
    QTest::newRow("unknown words ignored") << "{\\rtf1\\foo12\\barbaz x\\qux}" << "x" << "" << 0;
    QTest::newRow("binary data skipped") << "{\\rtf1 a\\bin3 {}\\b}" << "ab" << "" << 0;
    QTest::newRow("source breaks are not text") << "{\\rtf1 a\r\nb\nc\rd}" << "abcd" << "" << 0;
    QTest::newRow("font 0 preferred")
        << "{\\rtf1{\\fonttbl{\\f1 Times;}{\\f0 Courier;}}x}" << "x" << "Courier" << 0;
    QTest::newRow("first font without font 0") << "{\\rtf1{\\fonttbl{\\f3 Times;}{\\f4 Arial;}}x}" << "x" << "Times"
                                                << 0;
    QTest::newRow("font table without inner groups") << "{\\rtf1{\\fonttbl\\f0\\fnil Lucida Console;}x}" << "x"
                                                     << "Lucida Console" << 0;
    QTest::newRow("first size counts") << "{\\rtf1\\fs30 a\\fs40 b}" << "ab" << "" << 30;
    QTest::newRow("leading white space") << "\r\n  {\\rtf1 x}" << "x" << "" << 0;
    QTest::newRow("text after the document ignored") << "{\\rtf1 x}y" << "x" << "" << 0;
    QTest::newRow("special characters") << "{\\rtf1 a\\~b\\emdash c}" << QString::fromUtf8("a\xC2\xA0" "b\xE2\x80\x94" "c")
                                        << "" << 0;
}

void TestRtf::reading()
{
    QFETCH(QString, rtf);
    QFETCH(QString, text);
    QFETCH(QString, font);
    QFETCH(int, halfPoints);
    const std::optional<RtfContent> c = readRtf(rtf);
    QVERIFY(c);
    QCOMPARE(c->text, text);
    QCOMPARE(c->colours.size(), size_t(text.size()));
    QCOMPARE(c->fontName, font);
    QCOMPARE(c->fontHalfPoints, halfPoints);
}

void TestRtf::notRtf_data()
{
    QTest::addColumn<QString>("input");
    QTest::newRow("empty") << "";
    QTest::newRow("plain text") << "body { color: red }";
    QTest::newRow("group without rtf") << "{\\ansi x}";
    QTest::newRow("white space only") << " \r\n";
}

void TestRtf::notRtf()
{
    QFETCH(QString, input);
    QVERIFY(!readRtf(input));
}

void TestRtf::malformedInputNeverFails_data()
{
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("truncated after backslash") << "{\\rtf1 ab\\" << "ab";
    QTest::newRow("truncated hex escape") << "{\\rtf1 a\\'4" << "a4";
    QTest::newRow("bad hex escape") << "{\\rtf1 a\\'zzb}" << "azzb";
    QTest::newRow("unclosed groups") << "{\\rtf1 a{b{c" << "abc";
    QTest::newRow("extra closing brace") << "{\\rtf1 a}}}b" << "a";
    QTest::newRow("colour index out of table") << "{\\rtf1{\\colortbl ;\\red1;}\\cf9 a\\cf-3 b}" << "ab";
    QTest::newRow("huge parameter") << "{\\rtf1\\fs99999999999999999 a\\u99999999999 b}" << "a";
    QTest::newRow("bin longer than input") << "{\\rtf1 a\\bin999 xyz" << "a";
    QTest::newRow("lone surrogate unit") << "{\\rtf1 \\u-10179?}" << QString(QChar(0xD83D));
}

void TestRtf::malformedInputNeverFails()
{
    QFETCH(QString, rtf);
    QFETCH(QString, text);
    const std::optional<RtfContent> c = readRtf(rtf);
    QVERIFY(c);
    QCOMPARE(c->text, text);
    QCOMPARE(c->colours.size(), size_t(text.size()));
    for (const ColourValue colour : c->colours)
        QVERIFY(isValidColour(colour));
}

void TestRtf::everyTruncationIsRead()
{
    const QString text = QString::fromUtf8("a {\r\n\t\xC3\xA9 }\\\r\n");
    const std::vector<ColourValue> colours(size_t(text.size()), kRed);
    const QString rtf = colourDocument(writeRtf(content(text, colours)));
    for (qsizetype n = 5; n <= rtf.size(); ++n) {
        const std::optional<RtfContent> c = readRtf(rtf.left(n));
        QVERIFY(c);
        QCOMPARE(c->colours.size(), size_t(c->text.size()));
        // Whatever was read so far is the start of the text, but for its last
        // character, which a cut through a "\uN" number can change.
        QVERIFY2(text.startsWith(c->text.chopped(c->text.isEmpty() ? 0 : 1)), qPrintable(rtf.left(n)));
    }
}

void TestRtf::deepNestingIsRead()
{
    const QString rtf = "{\\rtf1 a" + QString(200000, u'{') + "\\cf1 b" + QString(200000, u'}') + "c}";
    const std::optional<RtfContent> c = readRtf(rtf);
    QVERIFY(c);
    QCOMPARE(c->text, QStringLiteral("abc"));
}

void TestRtf::colourDefinitions_data()
{
    QTest::addColumn<QString>("definition");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("blue") << "\\red0\\green0\\blue255" << true << 0xFF0000;
    QTest::newRow("mixed") << "\\red51\\green102\\blue153" << true << (51 + 102 * 256 + 153 * 65536);
    QTest::newRow("empty is automatic") << "" << true << int(kAutoColour);
    QTest::newRow("component over 255") << "\\red256\\green0\\blue0" << false << 0;
    QTest::newRow("wrong order") << "\\green0\\red0\\blue0" << false << 0;
    QTest::newRow("blank inside") << "\\red0 \\green0\\blue0" << false << 0;
    QTest::newRow("missing component") << "\\red0\\green0" << false << 0;
}

void TestRtf::colourDefinitions()
{
    QFETCH(QString, definition);
    QFETCH(bool, valid);
    QFETCH(int, value);
    const std::optional<ColourValue> c = colourFromRtfDefinition(definition);
    QCOMPARE(c.has_value(), valid);
    if (valid) {
        QCOMPARE(*c, value);
        QCOMPARE(colourToRtfDefinition(*c), definition);
    }
}

QTEST_APPLESS_MAIN(TestRtf)
#include "tst_rtf.moc"
