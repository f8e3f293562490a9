// Random text and rounds of random edits through the check, at either level: after
// each round, the problems brought up to date from the edited range must be those a
// check of the whole text gives, each inside the text.

#include "fuzzsupport.h"

#include "check/sheetcheck.h"
#include "text/editedrange.h"
#include "text/textmodel.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QStringList>

using namespace sheetsmith;
using namespace sheetsmith::fuzz;

namespace {

QString listed(const std::vector<Problem> &problems)
{
    QStringList out;
    for (const Problem &p : problems)
        out << QStringLiteral("%1+%2 %3").arg(p.offset).arg(p.length).arg(p.message);
    return out.join(u'\n');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const CheckLevel level = input.ConsumeBool() ? CheckLevel::Current : CheckLevel::Css1;
    TextModel model(consumeText(input, size));
    SheetCheck check(level);
    check.checkAll(model.text());

    for (int round = 0; round < 12 && input.remaining_bytes() > 0; ++round) {
        const EditedRange edited = randomEdits(input, model);
        check.recheck(model.text(), edited);
        const std::vector<Problem> whole = CheckSheet(model.text(), level);
        FUZZ_REQUIRE(check.problems() == whole, QStringLiteral("rechecked:\n%1\nwhole:\n%2\ntext: %3")
                                                    .arg(listed(check.problems()), listed(whole), model.text()));
        for (const Problem &p : whole)
            FUZZ_REQUIRE(p.offset >= 0 && p.length >= 0 && p.offset + p.length <= model.length(), listed(whole));
    }
    return 0;
}
