// The editor's RTF form. Content written and read back must come back as it was: the
// text character for character, every colour, the font. Arbitrary input, with or
// without a valid start, must be read without a crash or a hang, into content whose
// colours match its text.

#include "fuzzsupport.h"

#include "text/colourvalue.h"
#include "editor/rtf.h"
#include "text/textmodel.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace sheetsmith;
using namespace sheetsmith::fuzz;

namespace {

QString describeColours(const std::vector<ColourValue> &colours)
{
    QString out;
    for (const ColourValue c : colours)
        out += QString::number(c) + u' ';
    return out;
}

// Whatever was read, one colour per character and every colour automatic or 24-bit.
void checkReadContent(const RtfContent &content, const QString &source)
{
    FUZZ_REQUIRE(content.colours.size() == size_t(content.text.size()), source);
    for (const ColourValue c : content.colours)
        FUZZ_REQUIRE(isValidColour(c), source);
    FUZZ_REQUIRE(content.fontHalfPoints >= 0, source);
}

void readArbitrary(const QString &source)
{
    const std::optional<RtfContent> content = readRtf(source);
    if (!content)
        return;
    checkReadContent(*content, source);
    // What was read is written and read again without losing a character of its
    // text. A CR or LF read from an escape is a line break once written, and comes
    // back as CR LF, so the text is compared in that form.
    QString expected = content->text;
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    expected.replace(u'\r', u'\n');
    expected.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    const std::optional<RtfContent> again = readRtf(writeRtf(*content));
    FUZZ_REQUIRE(again.has_value(), source);
    FUZZ_REQUIRE(again->text == expected,
                 QStringLiteral("%1\nread: %2\nagain: %3").arg(source, content->text, again->text));
}

// A font name that the font table can hold as it is.
bool isPlainFontName(const QString &name)
{
    if (name.isEmpty() || name != name.trimmed())
        return false;
    for (const QChar c : name) {
        if (c == u';' || c == u'{' || c == u'}' || c == u'\\' || c < u' ')
            return false;
    }
    return true;
}

void roundTrip(FuzzedDataProvider &input)
{
    static const ColourValue palette[] = {kAutoColour, 0, makeColour(0, 0, 255), makeColour(255, 0, 0),
                                          makeColour(0, 128, 0), 0xFFFFFF};
    RtfContent content;
    const std::string fontBytes = input.ConsumeRandomLengthString(24);
    content.fontName = QString::fromUtf8(fontBytes.data(), qsizetype(fontBytes.size()));
    content.fontHalfPoints = input.ConsumeIntegralInRange<int>(0, 400);
    // The text as UTF-16 units, lone surrogates included, with CR LF breaks.
    const size_t units = input.ConsumeIntegralInRange<size_t>(0, input.remaining_bytes() / 3);
    QString raw;
    for (size_t i = 0; i < units; ++i)
        raw += QChar(input.ConsumeIntegral<char16_t>());
    content.text = TextModel::toCrLf(raw);
    const ColourValue own = input.ConsumeIntegralInRange<ColourValue>(0, 0xFFFFFF);
    for (qsizetype i = 0; i < content.text.size(); ++i) {
        // Both characters of a break share the break's colour.
        if (content.text[i] == u'\n' && i > 0) {
            content.colours.push_back(content.colours.back());
            continue;
        }
        const size_t pick = input.ConsumeIntegralInRange<size_t>(0, std::size(palette));
        content.colours.push_back(pick < std::size(palette) ? palette[pick] : own);
    }

    const QString rtf = writeRtf(content);
    const std::optional<RtfContent> back = readRtf(rtf);
    FUZZ_REQUIRE(back.has_value(), rtf);
    FUZZ_REQUIRE(back->text == content.text, QStringLiteral("%1\nwritten: %2\nread: %3").arg(rtf, content.text, back->text));
    FUZZ_REQUIRE(back->colours == content.colours,
                 QStringLiteral("%1\nwritten: %2\nread: %3")
                     .arg(rtf, describeColours(content.colours), describeColours(back->colours)));
    FUZZ_REQUIRE(back->fontHalfPoints == content.fontHalfPoints, rtf);
    if (isPlainFontName(content.fontName))
        FUZZ_REQUIRE(back->fontName == content.fontName, rtf);
    // The written form keeps its line layout: the header line ends the font table, and
    // the last line closes the document.
    FUZZ_REQUIRE(rtf.section(QStringLiteral("\r\n"), 0, 0).endsWith(QStringLiteral(";}}")), rtf);
    FUZZ_REQUIRE(rtf.endsWith(QStringLiteral("\r\n\\par }\r\n")), rtf);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The bytes as RTF source, as they are and behind a valid start.
    const QString source = utf8Text(data, size);
    readArbitrary(source);
    readArbitrary(QStringLiteral("{\\rtf1 ") + source);

    FuzzedDataProvider input(data, size);
    roundTrip(input);
    return 0;
}
