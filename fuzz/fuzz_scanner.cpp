// Random text through the block scanner. The blocks must sit where the rules put them
// (Begins on a line start, Ends on a "}" or 0, in order of their "{") and must equal a
// slow, literal reading of the scanning rules, with the program's element names, with
// none, and with names taken from the input itself.

#include "fuzzsupport.h"
#include "support/literalrules.h"

#include "blocks/root.h"
#include "blocks/scanner.h"
#include "text/textmodel.h"

#include <QStringList>

#include <algorithm>
#include <vector>

using namespace sheetsmith;
using namespace sheetsmith::fuzz;

namespace {

using literal::Block;

QString listed(const std::vector<Block> &blocks)
{
    return literal::describe(blocks).join(u' ');
}

std::vector<Block> scan(const TextModel &model, const QStringList &names)
{
    Root root;
    ScanBlocks(model, names, root);
    std::vector<Block> out;
    for (const ItmClass &b : root)
        out.push_back({b.ID(), b.Kind(), b.Begins(), b.Ends()});
    return out;
}

void checkPlacement(const QString &text, const std::vector<Block> &blocks)
{
    qsizetype previousBegins = 0;
    for (const Block &b : blocks) {
        const bool lineStart = b.begins == 0
                               || (b.begins >= 2 && b.begins <= text.size()
                                   && text[b.begins - 2] == u'\r' && text[b.begins - 1] == u'\n');
        FUZZ_REQUIRE(lineStart, listed(blocks));
        FUZZ_REQUIRE(b.begins >= previousBegins, listed(blocks));
        previousBegins = b.begins;
        FUZZ_REQUIRE(b.ends == 0 || (b.ends > b.begins && b.ends <= text.size() && text[b.ends - 1] == u'}'),
                     listed(blocks));
        FUZZ_REQUIRE(b.kind == u"ID" || b.kind == u"Element" || b.kind == u"Class", b.kind);
        FUZZ_REQUIRE(!b.id.contains(u' ') && !b.id.contains(u'{'), b.id);
    }
}

// The blocks do not depend on the element names, only their kinds do: the literal
// scan runs once, and for other names only the kinds are worked out again.
void checkScan(const TextModel &model, const QStringList &names, std::vector<Block> expected)
{
    const std::vector<Block> blocks = scan(model, names);
    checkPlacement(model.text(), blocks);
    for (Block &b : expected)
        b.kind = literal::kind(b.id, names);
    FUZZ_REQUIRE(blocks == expected,
                 QStringLiteral("scanner: %1\nliteral: %2").arg(listed(blocks), listed(expected)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = TextModel::toCrLf(utf8Text(data, size));
    const TextModel model(text);
    FUZZ_REQUIRE(model.text() == text, text);

    static const QStringList programNames = ElementNames();
    const std::vector<Block> expected = literal::scan(model.text(), programNames);
    checkScan(model, programNames, expected);
    checkScan(model, QStringList(), expected);
    // Names out of the text's first line: odd names (empty, non-ASCII, with ";")
    // exercise the element test's shortcuts.
    checkScan(model, model.lineText(0).split(u' '), expected);
    // A name exactly as long as the first block's selector, in other letter case: the
    // element test at the edge where the name and the selector have the same length.
    if (!expected.empty())
        checkScan(model, {expected.front().id.section(u',', 0, 0).toUpper()}, expected);
    return 0;
}
