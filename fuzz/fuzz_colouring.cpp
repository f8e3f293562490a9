// Syntax colouring of random text in a real editor widget (offscreen). Both ways of
// colouring must leave every character of the text as it was and give each character
// one of the colouring's own colours. The line colouring must moreover leave exactly
// the colours that its steps, played literally (select a range, colour it, one step
// after the other), leave on a copy of the editor's colours, and colouring the lines
// together must leave what colouring them one by one leaves. A new text coloured on
// the text itself must get the colours of the RTF round trip. A hang is caught by the
// fuzzer's time limit.

#include "fuzzsupport.h"
#include "support/colourcodes.h"
#include "support/literalrules.h"

#include "editor/colouring.h"
#include "text/colourvalue.h"
#include "editor/richedit.h"
#include "text/textmodel.h"

#include <QApplication>

#include <vector>

using namespace sheetsmith;
using namespace sheetsmith::fuzz;

namespace {

// The line colouring's default colour.
const ColourValue kBlack = 0;

// Lines coloured one by one per input; enough for every seed's lines to be reached,
// few enough to keep a run quick.
constexpr int kMaxTextLines = 120;

struct Fixture
{
    int argc = 1;
    char name[16] = "fuzz_colouring";
    char *argv[2] = {name, nullptr};
    QApplication app{argc, argv};
    RichEdit editor;
    RichEdit other;
};

Fixture &fixture()
{
    // Created on first use and kept to the end of the process: one application and one
    // editor serve every input, and Qt wants no application destroyed at exit time.
    static Fixture *f = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new Fixture;
    }();
    return *f;
}

// The editor's colours, one per character of its CR LF text.
std::vector<ColourValue> editorColours(const RichEdit &editor)
{
    std::vector<ColourValue> out;
    const qsizetype n = editor.model().length();
    out.reserve(size_t(n));
    for (qsizetype i = 0; i < n; ++i)
        out.push_back(editor.colourAt(i));
    return out;
}

// A copy of the editor's colours that the literal line colouring paints on, with the
// editor's selection rules: a range of CR LF offsets, clamped to the text, whose end
// between a CR and its LF takes in the whole break (a break has one colour).
class Canvas
{
public:
    Canvas(const QString &text, std::vector<ColourValue> colours)
        : m_text(text), m_colours(std::move(colours))
    {
    }

    void select(qsizetype start, qsizetype length)
    {
        m_start = start;
        m_length = length;
    }

    void colourSelection(ColourValue colour)
    {
        const qsizetype n = m_text.size();
        qsizetype from = std::clamp<qsizetype>(m_start, 0, n);
        // Starting between a CR and its LF is starting at the line's end.
        if (from > 0 && from < n && m_text[from - 1] == u'\r' && m_text[from] == u'\n')
            --from;
        qsizetype to = std::clamp<qsizetype>(m_start + std::max<qsizetype>(m_length, 0), from, n);
        if (to > 0 && to < n && m_text[to - 1] == u'\r' && m_text[to] == u'\n')
            ++to;
        for (qsizetype i = from; i < to; ++i)
            m_colours[size_t(i)] = colour;
        // A break's two characters share one colour: the range took in both or neither.
    }

    const std::vector<ColourValue> &colours() const { return m_colours; }

private:
    const QString &m_text;
    std::vector<ColourValue> m_colours;
    qsizetype m_start = 0;
    qsizetype m_length = 0;
};

// 1-based position of the last marker lying wholly within the first `within`
// characters of the text; 0 when there is none.
qsizetype lastMarkerWithin(const QString &text, qsizetype within, QChar first, QChar second)
{
    return literal::lastMarkerBefore(text, within + 1, first, second);
}

// The line colouring's steps, played on the canvas for the line whose first character
// is at the 1-based position s of the whole text.
void literalTextLine(Canvas &canvas, const QString &text, const QString &line, qsizetype s)
{
    const qsizetype len = line.size();
    // 2. The whole line black.
    canvas.select(s - 1, len);
    canvas.colourSelection(kBlack);
    // 3. Each live "{": everything before it as selector, the brace as brace.
    for (qsizetype k = line.indexOf(u'{') + 1; k > 0; k = line.indexOf(u'{', k) + 1) {
        if (literal::inComment(k, 1, line))
            continue;
        canvas.select(s - 1, k - 1);
        canvas.colourSelection(kSelector);
        canvas.select(s + k - 2, 1);
        canvas.colourSelection(kBracket);
    }
    // 4. Comments, judged from the whole text up to this line's end.
    const qsizetype c = lastMarkerWithin(text, s + len, u'/', u'*');
    const qsizetype d = lastMarkerWithin(text, s + len, u'*', u'/');
    if (c < s && d > s) {
        canvas.select(s - 1, d - s + 2);
        canvas.colourSelection(kComment);
    } else if (d < c) {
        canvas.colourSelection(kComment); // whatever step 2 or 3 selected last
    } else if (c >= s && d > c) {
        for (qsizetype k = line.indexOf(QStringLiteral("/*")) + 1; k > 0;
             k = line.indexOf(QStringLiteral("/*"), k + 1) + 1) {
            const qsizetype e = line.indexOf(QStringLiteral("*/"), k + 1) + 1;
            if (e > 0)
                canvas.select(s + k - 2, e - k + 2);
            else
                canvas.select(s + k - 2, len - k + 2);
            canvas.colourSelection(kComment);
        }
    }
    // 5. Each live "}" as brace.
    for (qsizetype k = line.indexOf(u'}') + 1; k > 0; k = line.indexOf(u'}', k) + 1) {
        if (literal::inComment(k, 1, line))
            continue;
        canvas.select(s + k - 2, 1);
        canvas.colourSelection(kBracket);
    }
}

void checkDocumentColouring(RichEdit &editor, Colouriser &colouriser, const QString &text)
{
    colouriser.ColourDocument(editor);
    FUZZ_REQUIRE(editor.text() == text, QStringLiteral("before: %1\nafter: %2").arg(text, editor.text()));
    FUZZ_REQUIRE(!editor.colouring(), text);
    const std::vector<ColourValue> after = editorColours(editor);
    for (const ColourValue c : after) {
        FUZZ_REQUIRE(c == kAutoColour || c == kSelector || c == kBracket || c == kComment,
                     QStringLiteral("%1\n%2").arg(text, colourCodes(after)));
    }
}

void checkLineColouring(RichEdit &editor, Colouriser &colouriser, const QString &text)
{
    Canvas canvas(text, editorColours(editor));
    const TextModel &model = editor.model();
    const int lines = std::min(model.lineCount(), kMaxTextLines);
    for (int l = 0; l < lines; ++l) {
        QString line = model.lineText(l);
        const qsizetype s = model.lineStart(l) + 1;
        if (!line.isEmpty())
            literalTextLine(canvas, text, line, s);
        colouriser.ColourLine(line, s, QStringLiteral("Text"), &editor);
        FUZZ_REQUIRE(!editor.colouring(), text);
        FUZZ_REQUIRE(editor.text() == text, QStringLiteral("line %1: %2").arg(l + 1).arg(editor.text()));

        // This line and its break, at once; everything else at the end.
        const qsizetype from = s - 1;
        const qsizetype to = std::min(from + line.size() + 2, text.size());
        std::vector<ColourValue> got;
        std::vector<ColourValue> expected;
        for (qsizetype i = from; i < to; ++i) {
            got.push_back(editor.colourAt(i));
            expected.push_back(canvas.colours()[size_t(i)]);
        }
        FUZZ_REQUIRE(got == expected, QStringLiteral("line %1 of %2\ncoloured: %3\nexpected: %4")
                                          .arg(l + 1)
                                          .arg(text, colourCodes(got), colourCodes(expected)));
    }
    const std::vector<ColourValue> all = editorColours(editor);
    FUZZ_REQUIRE(all == canvas.colours(), QStringLiteral("%1\ncoloured: %2\nexpected: %3")
                                              .arg(text, colourCodes(all), colourCodes(canvas.colours())));

    // Another mode, or no start, changes nothing.
    if (model.lineCount() > 0) {
        QString line = model.lineText(0);
        colouriser.ColourLine(line, 0, QStringLiteral("Text"), &editor);
        colouriser.ColourLine(line, 1, QStringLiteral("text"), &editor);
        FUZZ_REQUIRE(editorColours(editor) == all, text);
    }
}

Colouriser testColouriser()
{
    Colouriser colouriser;
    colouriser.setColours(testColours());
    colouriser.BuildColourTable();
    return colouriser;
}

// A new text coloured on the text itself must get the colours, and leave the comment
// state, that the RTF round trip of the document colouring gives; with a comment left
// open before and without.
void checkNewTextColouring(const QString &text)
{
    for (const bool openBefore : {false, true}) {
        RichEdit &viaRtf = fixture().editor;
        RichEdit &direct = fixture().other;
        Colouriser first = testColouriser();
        Colouriser second = testColouriser();
        if (openBefore) {
            viaRtf.setText(QStringLiteral("/*"));
            first.ColourDocument(viaRtf);
            direct.setText(QStringLiteral("/*"));
            second.ColourDocument(direct);
        }
        viaRtf.setText(text);
        first.ColourDocument(viaRtf);
        second.ColourNewText(direct, text);
        FUZZ_REQUIRE(direct.text() == text, direct.text());
        FUZZ_REQUIRE(first.CommentOpen() == second.CommentOpen(), text);
        const std::vector<ColourValue> expected = editorColours(viaRtf);
        const std::vector<ColourValue> got = editorColours(direct);
        FUZZ_REQUIRE(got == expected, QStringLiteral("%1\nnew text: %2\nRTF: %3")
                                          .arg(text, colourCodes(got), colourCodes(expected)));
    }
}

// Lines coloured together must end as the lines coloured one by one did.
void checkLinesTogether(const QString &text, const std::vector<ColourValue> &oneByOne)
{
    RichEdit &editor = fixture().other;
    editor.setText(text);
    Colouriser colouriser = testColouriser();
    colouriser.ColourDocument(editor);
    colouriser.ColourTextLines(1, kMaxTextLines, editor);
    const std::vector<ColourValue> together = editorColours(editor);
    FUZZ_REQUIRE(together == oneByOne, QStringLiteral("%1\ntogether: %2\none by one: %3")
                                           .arg(text, colourCodes(together), colourCodes(oneByOne)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    RichEdit &editor = fixture().editor;
    editor.setText(utf8Text(data, size));
    const QString text = editor.text();
    FUZZ_REQUIRE(text == TextModel::toCrLf(utf8Text(data, size)), text);

    // A colouriser per input: its comment state carries from one document to the next,
    // and an input must give the same result however many came before it.
    Colouriser colouriser;
    colouriser.setColours(testColours());
    colouriser.BuildColourTable();

    checkDocumentColouring(editor, colouriser, text);
    checkLineColouring(editor, colouriser, text);
    checkLinesTogether(text, editorColours(editor));
    checkNewTextColouring(text);
    return 0;
}
