// Random text through the block scanner. The blocks must sit where the rules put them
// (Begins on a line start, Ends on a "}" or 0, in order of their "{") and must equal a
// slow, literal reading of the scanning rules, with the program's element names, with
// none, and with names taken from the input itself.

#include "fuzzsupport.h"
#include "literalrules.h"

#include "blocks/root.h"
#include "blocks/scanner.h"
#include "editor/textmodel.h"

#include <QStringList>

#include <algorithm>
#include <vector>

using namespace sheetsmith;
using namespace sheetsmith::fuzz;

namespace {

struct Block
{
    QString id;
    QString kind;
    qsizetype begins = 0;
    qsizetype ends = 0;

    friend bool operator==(const Block &, const Block &) = default;
};

QString describe(const std::vector<Block> &blocks)
{
    QString out;
    for (const Block &b : blocks)
        out += QStringLiteral("[%1|%2|%3|%4] ").arg(b.id, b.kind).arg(b.begins).arg(b.ends);
    return out;
}

// The lines of a CR LF text and the 0-based offset of each line's start.
struct Lines
{
    explicit Lines(const QString &text) : texts(text.split(QStringLiteral("\r\n")))
    {
        qsizetype start = 0;
        for (const QString &line : texts) {
            starts.push_back(start);
            start += line.size() + 2;
        }
    }
    // 1-based line holding the 0-based character index i; past the end, the last line.
    int lineOfChar(qsizetype i) const
    {
        return int(std::upper_bound(starts.begin(), starts.end(), i) - starts.begin());
    }
    // 1-based position of the line's first character.
    qsizetype lineStart(int line) const { return starts[size_t(line - 1)] + 1; }

    QStringList texts;
    std::vector<qsizetype> starts;
};

// The kind rule: "ID" for any "#", else "Element" when the first comma-separated
// member occurs, ignoring case, in the names joined by ";", else "Class".
QString literalKind(const QString &sel, const QStringList &names)
{
    if (sel.contains(u'#'))
        return QStringLiteral("ID");
    const qsizetype comma = sel.indexOf(u',');
    const QString first = comma >= 0 ? sel.left(comma) : sel;
    if (names.join(QStringLiteral(";")).contains(first, Qt::CaseInsensitive))
        return QStringLiteral("Element");
    return QStringLiteral("Class");
}

// The scanning rules step by step: each "{" searched from just after the previous one,
// its line, the comment test, the selector of the "{" line, the kind, and the first
// "}" from the "{" on.
std::vector<Block> literalScan(const QString &text, const QStringList &names)
{
    const Lines lines(text);
    std::vector<Block> out;
    qsizetype p = 0;
    for (;;) {
        p = text.indexOf(u'{', p) + 1; // 1-based position of the "{"; 0: none
        if (p == 0)
            return out;
        const int line = lines.lineOfChar(p);
        const qsizetype s = lines.lineStart(line);
        if (literal::inComment(p, s, text))
            continue;

        QString sel = lines.texts[line - 1];
        sel.remove(u' ');
        sel = literal::stripComments(sel);
        const qsizetype brace = sel.indexOf(u'{');
        if (brace >= 0)
            sel = sel.left(brace);

        Block block;
        block.id = sel;
        block.kind = literalKind(sel, names);
        block.begins = s - 1;

        const qsizetype e = text.indexOf(u'}', p - 1) + 1;
        if (e > 0) {
            const qsizetype s2 = lines.lineStart(lines.lineOfChar(e));
            block.ends = literal::inComment(e, s2, text) ? 0 : e;
        }
        out.push_back(block);
    }
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
        FUZZ_REQUIRE(lineStart, describe(blocks));
        FUZZ_REQUIRE(b.begins >= previousBegins, describe(blocks));
        previousBegins = b.begins;
        FUZZ_REQUIRE(b.ends == 0 || (b.ends > b.begins && b.ends <= text.size() && text[b.ends - 1] == u'}'),
                     describe(blocks));
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
        b.kind = literalKind(b.id, names);
    FUZZ_REQUIRE(blocks == expected,
                 QStringLiteral("scanner: %1\nliteral: %2").arg(describe(blocks), describe(expected)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = TextModel::toCrLf(utf8Text(data, size));
    const TextModel model(text);
    FUZZ_REQUIRE(model.text() == text, text);

    static const QStringList programNames = ElementNames();
    const std::vector<Block> expected = literalScan(model.text(), programNames);
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
