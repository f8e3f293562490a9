// Random text through the colour readers. The colour values of the whole text must be
// those of its lines read one by one, as the editor reads the lines it shows; each is a
// whole colour value in the forms asked for, in order and apart; and a value written
// anew for another colour reads back as that colour.

#include "fuzzsupport.h"

#include "support/colourlines.h"
#include "text/colourspans.h"
#include "text/commentmarkers.h"
#include "text/csscolours.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

using namespace sheetsmith;
using namespace sheetsmith::fuzz;

namespace {

QString described(const std::vector<ColourSpan> &spans)
{
    QString out;
    for (const ColourSpan &s : spans)
        out += QStringLiteral("%1+%2 ").arg(s.offset).arg(s.length);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const ColourForms forms = input.ConsumeBool() ? ColourForms::Current : ColourForms::Css1;
    const int red = input.ConsumeIntegral<std::uint8_t>();
    const int green = input.ConsumeIntegral<std::uint8_t>();
    const int blue = input.ConsumeIntegral<std::uint8_t>();
    const QString text = consumeText(input, size);
    const CommentMarkerPositions markers = FindCommentMarkers(text);

    const std::vector<ColourSpan> whole = ColourSpans(text, markers, 0, text.size(), forms);
    const std::vector<ColourSpan> byLine = ColourSpansByLine(text, markers, forms);
    FUZZ_REQUIRE(whole == byLine, described(whole) + QStringLiteral("| ") + described(byLine) + text);

    const ColourValue colour = makeColour(red, green, blue);
    qsizetype after = 0;
    for (const ColourSpan &span : whole) {
        FUZZ_REQUIRE(span.offset >= after && span.length > 0 && span.offset + span.length <= text.size(),
                     described(whole) + text);
        after = span.offset + span.length;
        const QString value = text.mid(span.offset, span.length);
        const std::optional<CssColour> read = ReadCssColour(value, forms);
        FUZZ_REQUIRE(read && *read == span.colour, value);
        const std::optional<QString> written = RewriteCssColour(value, colour);
        if (written) {
            const std::optional<CssColour> back = ReadCssColour(*written, ColourForms::Current);
            FUZZ_REQUIRE(back && back->rgb == colour, value + QStringLiteral(" -> ") + *written);
        }
    }
    return 0;
}
