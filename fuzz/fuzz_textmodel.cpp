// The CR LF text model under random text and random document changes. After every
// step its text, its line index, its comment markers and its conversions between CR LF
// offsets and Qt positions must match a literal reading: breaks counted character by
// character, markers found by a search of the whole text.

#include "fuzzsupport.h"

#include "text/textmodel.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QStringList>

#include <vector>

using namespace sheetsmith;
using namespace sheetsmith::fuzz;

namespace {

constexpr QChar kParagraphSeparator(0x2029);

// Every break (CR LF, lone CR, lone LF, paragraph separator) as CR LF.
QString literalCrLf(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(kParagraphSeparator, u'\n');
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text;
}

// Qt's document form of a CR LF text: one "\n" per break.
QString qtForm(const QString &crlf)
{
    QString out = crlf;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return out;
}

// The model's text and line index against the lines of the text it should hold.
void checkLines(const TextModel &model, const QString &expected)
{
    FUZZ_REQUIRE(model.text() == expected,
                 QStringLiteral("model: %1\nexpected: %2").arg(model.text(), expected));
    // Breaks come only as CR LF: no other CR, LF or paragraph separator.
    const QString t = model.text();
    for (qsizetype i = 0; i < t.size(); ++i) {
        FUZZ_REQUIRE(t[i] != kParagraphSeparator, t);
        if (t[i] == u'\r')
            FUZZ_REQUIRE(i + 1 < t.size() && t[i + 1] == u'\n', t);
        if (t[i] == u'\n')
            FUZZ_REQUIRE(i > 0 && t[i - 1] == u'\r', t);
    }

    // The comment markers kept beside the text are those a search of it finds.
    const CommentMarkerPositions found = FindCommentMarkers(t);
    FUZZ_REQUIRE(model.commentMarkers().opens == found.opens && model.commentMarkers().closes == found.closes, t);

    const QStringList lines = expected.split(QStringLiteral("\r\n"));
    FUZZ_REQUIRE(model.lineCount() == lines.size(), expected);
    FUZZ_REQUIRE(model.qtLength() == qtForm(expected).size(), expected);
    qsizetype start = 0;
    for (int i = 0; i < lines.size(); ++i) {
        FUZZ_REQUIRE(model.lineStart(i) == start, QStringLiteral("line %1 of %2").arg(i).arg(expected));
        FUZZ_REQUIRE(model.lineLength(i) == lines[i].size(), QStringLiteral("line %1").arg(i));
        FUZZ_REQUIRE(model.lineText(i) == lines[i], QStringLiteral("line %1").arg(i));
        start += lines[i].size() + 2;
    }
    const int count = model.lineCount();
    FUZZ_REQUIRE(model.lineStart(-1) == -1 && model.lineStart(count) == -1, expected);
    FUZZ_REQUIRE(model.lineLength(-1) == 0 && model.lineLength(count) == 0, expected);
    FUZZ_REQUIRE(model.lineText(-1).isEmpty() && model.lineText(count).isEmpty(), expected);
}

// Offsets and Qt positions, counted one character at a time: the number of breaks
// before each offset, and the line of each offset and position.
void checkPositions(const TextModel &model)
{
    const QString &t = model.text();
    const qsizetype n = t.size();
    const qsizetype qtLength = model.qtLength();

    int line = 0;      // line of offset o
    qsizetype qt = 0;  // Qt position of offset o
    for (qsizetype o = 0; o <= n; ++o) {
        const bool betweenCrLf = o > 0 && t[o - 1] == u'\r';
        // An offset between CR and LF is the end of the line the break ends.
        const qsizetype expectedQt = betweenCrLf ? qt - 1 : qt;
        FUZZ_REQUIRE(model.lineOfOffset(o) == line, QStringLiteral("offset %1").arg(o));
        FUZZ_REQUIRE(model.toQtPosition(o) == expectedQt, QStringLiteral("offset %1").arg(o));
        if (!betweenCrLf) {
            FUZZ_REQUIRE(model.fromQtPosition(qt) == o, QStringLiteral("Qt position %1").arg(qt));
            FUZZ_REQUIRE(model.lineOfQtPosition(qt) == line, QStringLiteral("Qt position %1").arg(qt));
        }
        if (o < n) {
            if (t[o] == u'\n')
                ++line;
            else
                ++qt; // the LF of a break adds no Qt character: the CR stood for it
        }
    }
    FUZZ_REQUIRE(qt == qtLength, t);

    // Outside the text: clamped to its ends.
    const int last = model.lineCount() - 1;
    FUZZ_REQUIRE(model.lineOfOffset(-1) == 0 && model.lineOfOffset(n + 1) == last, t);
    FUZZ_REQUIRE(model.toQtPosition(-1) == 0 && model.toQtPosition(n + 1) == qtLength, t);
    FUZZ_REQUIRE(model.fromQtPosition(-1) == 0 && model.fromQtPosition(qtLength + 1) == n, t);
    FUZZ_REQUIRE(model.lineOfQtPosition(-1) == 0 && model.lineOfQtPosition(qtLength + 1) == last, t);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString original = consumeText(input, size);

    TextModel model(original);
    QString expected = literalCrLf(original);
    FUZZ_REQUIRE(TextModel::toCrLf(original) == expected, original);
    checkLines(model, expected);
    checkPositions(model);

    // Changes as Qt's document reports them: positions in its form, the added text
    // with "\n" or U+2029 (or, defensively, CR) for breaks. A change that does not fit
    // the text must be refused and leave it as it was.
    for (int step = 0; step < 8 && input.remaining_bytes() > 0; ++step) {
        const qsizetype qtLength = model.qtLength();
        const qsizetype pos = input.ConsumeIntegralInRange<qsizetype>(-1, qtLength + 1);
        const qsizetype removed = input.ConsumeIntegralInRange<qsizetype>(-1, qtLength + 1);
        const QString added = consumeText(input, 64);
        const bool fits = pos >= 0 && removed >= 0 && pos + removed <= qtLength;
        FUZZ_REQUIRE(model.applyQtChange(pos, removed, added).has_value() == fits,
                     QStringLiteral("change at %1, %2 removed").arg(pos).arg(removed));
        if (fits) {
            const QString qt = qtForm(expected);
            expected = literalCrLf(qt.left(pos)) + literalCrLf(added) + literalCrLf(qt.mid(pos + removed));
        }
        checkLines(model, expected);
    }
    checkPositions(model);
    return 0;
}
