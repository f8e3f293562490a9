// The text rules under random arguments: the comment rules and the
// whole-word search against literal readings, the colour conversions within their
// ranges and round trips, and the property value of a block, whatever the text.

#include "fuzzsupport.h"
#include "support/literalrules.h"

#include "blocks/itmclass.h"
#include "blocks/root.h"
#include "blocks/scanner.h"
#include "inspector/blockvalues.h"
#include "text/colourvalue.h"
#include "text/commentmarkers.h"
#include "text/lines.h"
#include "text/textmodel.h"
#include "text/words.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

using namespace sheetsmith;
using namespace sheetsmith::fuzz;

namespace {

bool isSixUpperHexDigits(const QString &s)
{
    if (s.size() != 6)
        return false;
    for (const QChar c : s) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')))
            return false;
    }
    return true;
}

bool isDelimiter(const QString &ch)
{
    static const QString delimiters = QStringLiteral(": .;,\n\r\t");
    return ch.size() == 1 && delimiters.contains(ch.front());
}

// The whole-word search read literally: try every position from start on, compare the
// word there ignoring case, and look at the characters either side (none before the
// first character counts as a delimiter, none after the last does not).
qsizetype literalFindWholeWord(qsizetype start1, const QString &text, const QString &word)
{
    if (word.isEmpty())
        return 0;
    for (qsizetype p = std::max<qsizetype>(start1, 1); p + word.size() - 1 <= text.size(); ++p) {
        if (QStringView(text).mid(p - 1, word.size()).compare(word, Qt::CaseInsensitive) != 0)
            continue;
        const bool before = p == 1 || isDelimiter(text.mid(p - 2, 1));
        const bool after = isDelimiter(text.mid(p - 1 + word.size(), 1));
        if (before && after)
            return p;
    }
    return 0;
}

void checkComments(FuzzedDataProvider &input, const QString &text)
{
    const QString stripped = StripComments(text);
    FUZZ_REQUIRE(stripped == literal::stripComments(text),
                 QStringLiteral("%1\n-> %2").arg(text, stripped));
    FUZZ_REQUIRE(stripped.size() <= text.size(), text);

    const CommentMarkers markers(text);
    for (int i = 0; i < 4; ++i) {
        const qsizetype b = input.ConsumeIntegralInRange<qsizetype>(-2, text.size() + 3);
        const qsizetype s = input.ConsumeIntegralInRange<qsizetype>(-2, text.size() + 3);
        const bool expected = literal::inComment(b, s, text);
        const QString where = QStringLiteral("InComment(%1, %2) of %3").arg(b).arg(s).arg(text);
        FUZZ_REQUIRE(InComment(b, s, text) == expected, where);
        FUZZ_REQUIRE(markers.inComment(b, s) == expected, where);
    }
}

void checkWholeWord(FuzzedDataProvider &input, const QString &text)
{
    // The word is either a piece of the text (so that it is found) or a text of its own.
    QString word;
    if (input.ConsumeBool()) {
        const qsizetype from = input.ConsumeIntegralInRange<qsizetype>(0, text.size());
        word = text.mid(from, input.ConsumeIntegralInRange<qsizetype>(0, 12));
    } else {
        word = consumeText(input, 12);
    }
    const qsizetype start = input.ConsumeIntegralInRange<qsizetype>(-2, text.size() + 2);
    const qsizetype limit = input.ConsumeIntegralInRange<qsizetype>(-2, text.size() + 2);

    const qsizetype found = FindWholeWord(start, text, word);
    const QString where = QStringLiteral("word %1 from %2 limit %3 in %4").arg(word).arg(start).arg(limit).arg(text);
    FUZZ_REQUIRE(found == literalFindWholeWord(start, text, word), where);
    FUZZ_REQUIRE(found == 0 || (found >= std::max<qsizetype>(start, 1) && found + word.size() - 1 <= text.size()), where);
    // The bounded search gives the same answer while the match starts before the
    // limit, and gives up otherwise.
    const qsizetype bounded = FindWholeWord(start, text, word, limit);
    FUZZ_REQUIRE(bounded == (found != 0 && found < limit ? found : 0), where);

    for (const QChar c : word)
        FUZZ_REQUIRE(IsWordChar(QString(c)) == IsWordChar(c), word);
    FUZZ_REQUIRE(IsWordChar(QString()) && (word.size() < 2 || IsWordChar(word)), word);
}

void checkColours(FuzzedDataProvider &input)
{
    const qint32 any = input.ConsumeIntegral<qint32>();
    const qint32 colour = input.ConsumeIntegralInRange<qint32>(0, 0xFFFFFF);

    // Web-safe: every component a multiple of 51, the nearest one.
    const qint32 safe = WebSafeColor(any);
    FUZZ_REQUIRE(safe >= 0 && safe <= 0xFFFFFF, QString::number(any));
    for (int shift = 0; shift <= 16; shift += 8) {
        const int component = (safe >> shift) & 0xFF;
        const int original = (any >> shift) & 0xFF;
        FUZZ_REQUIRE(component % 51 == 0 && std::abs(component - original) <= 25, QString::number(any));
    }

    // Six digits for any value; for a colour, the digits and the decimal text give the
    // colour back.
    FUZZ_REQUIRE(isSixUpperHexDigits(ColorToHex(any)), QString::number(any));
    const QString hex = ColorToHex(colour);
    FUZZ_REQUIRE(isSixUpperHexDigits(hex), QString::number(colour));
    FUZZ_REQUIRE(HexToColor(u'#' + hex) == colour, hex);
    const QStringList rgb = ColorToRGBText(colour, QStringLiteral("|")).split(u'|');
    FUZZ_REQUIRE(rgb.size() == 3, QString::number(colour));
    FUZZ_REQUIRE(rgb[0].toInt() + 256 * rgb[1].toInt() + 65536 * rgb[2].toInt() == colour,
                 QString::number(colour));
    FUZZ_REQUIRE(hex == QStringLiteral("%1").arg(colour & 0xFF, 2, 16, QLatin1Char('0')).toUpper()
                            + QStringLiteral("%1").arg((colour >> 8) & 0xFF, 2, 16, QLatin1Char('0')).toUpper()
                            + QStringLiteral("%1").arg(colour >> 16, 2, 16, QLatin1Char('0')).toUpper(),
                 hex);
    // ColorToRGBText takes any value without overflow (the sanitizer watches it).
    (void)ColorToRGBText(any, QStringLiteral(","));

    // Malformed texts still give six digits and a 24-bit colour.
    const QString sep = consumeText(input, 3);
    const QString rgbText = consumeText(input, 40);
    FUZZ_REQUIRE(isSixUpperHexDigits(RGBTextToHex(rgbText, sep)), rgbText + u'/' + sep);
    const QString hexText = consumeText(input, 12);
    const qint32 read = HexToColor(hexText);
    FUZZ_REQUIRE(read >= 0 && read <= 0xFFFFFF, hexText);
}

void checkDeclaredValues(FuzzedDataProvider &input, const QString &text)
{
    const TextModel model(text);
    Root blocks;
    ScanBlocks(model, ElementNames(), blocks);
    const QString name = input.ConsumeBool() ? consumeText(input, 16) : QStringLiteral("color");
    int checked = 0;
    for (const ItmClass &block : blocks) {
        if (++checked > 16)
            break;
        const std::optional<QString> value = DeclaredValue(model, block, name);
        if (!value)
            continue;
        const QString where = QStringLiteral("%1 in block at %2: %3").arg(name).arg(block.Begins()).arg(*value);
        FUZZ_REQUIRE(block.Ends() != 0, where);
        FUZZ_REQUIRE(!value->contains(u':') && !value->contains(u';'), where);
        FUZZ_REQUIRE(!value->startsWith(u' ') && !value->endsWith(u' '), where);
        FUZZ_REQUIRE(!value->contains(u'\r') && !value->contains(u'\n'), where);
        FUZZ_REQUIRE(value->size() < model.length(), where);
    }

    // Line queries at any index stay within the text.
    const qsizetype index = input.ConsumeIntegralInRange<qsizetype>(-2, model.length() + 2);
    const int line = LineOfChar(model, index);
    FUZZ_REQUIRE(line >= 1 && line <= LineCount(model), QString::number(index));
    const qsizetype start = LineStart(model, line);
    FUZZ_REQUIRE(start >= 1 && start <= model.length() + 1, QString::number(index));
    FUZZ_REQUIRE(LineText(model, line) == model.lineText(line - 1), QString::number(line));
    FUZZ_REQUIRE(LineLength(model, index) >= 0 && LineLength(model, index) <= model.length(), QString::number(index));
    FUZZ_REQUIRE(LineStart(model, 0) == 0 && LineStart(model, LineCount(model) + 1) == 0, text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    // Most of the input is the text; the rest picks positions, words and colours.
    const QString text = TextModel::toCrLf(consumeText(input, size * 3 / 4 + 1));
    checkComments(input, text);
    checkWholeWord(input, text);
    checkColours(input);
    checkDeclaredValues(input, text);
    return 0;
}
