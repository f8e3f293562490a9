#pragma once

// What every fuzz target shares: a property check that stops the run with a readable
// message (libFuzzer then keeps the input as a crash file), and the ways raw bytes are
// turned into the texts the code under test takes.

#include "text/editedrange.h"
#include "text/textmodel.h"

#include <QByteArray>
#include <QString>

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace sheetsmith::fuzz {

// Text shown in a failure message: control characters and anything outside ASCII as
// escapes, so that the message itself is readable and copyable into a test.
inline QByteArray shown(const QString &text, qsizetype limit = 400)
{
    QByteArray out;
    const qsizetype n = std::min(text.size(), limit);
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r') {
            out += "\\r";
        } else if (c == u'\n') {
            out += "\\n";
        } else if (c == u'\\') {
            out += "\\\\";
        } else if (c < 0x20 || c >= 0x7F) {
            char buffer[12];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", unsigned(c));
            out += buffer;
        } else {
            out += char(c);
        }
    }
    if (text.size() > limit)
        out += "...";
    return out;
}

[[noreturn]] inline void propertyFailed(const char *file, int line, const char *condition,
                                        const QString &detail)
{
    std::fprintf(stderr, "\n*** property does not hold (%s:%d): %s\n    %s\n", file, line,
                 condition, shown(detail, 2000).constData());
    std::fflush(stderr);
    std::abort();
}

// The text of raw bytes read as UTF-8 (malformed sequences become U+FFFD).
inline QString utf8Text(const std::uint8_t *data, std::size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

// The next text of at most maxBytes bytes of the input, read as UTF-8.
inline QString consumeText(FuzzedDataProvider &input, std::size_t maxBytes)
{
    const std::string bytes = input.ConsumeRandomLengthString(maxBytes);
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

} // namespace sheetsmith::fuzz

// Aborts with the condition and a detail text when a property does not hold.
#define FUZZ_REQUIRE(condition, detail)                                                      \
    do {                                                                                     \
        if (!(condition))                                                                    \
            ::sheetsmith::fuzz::propertyFailed(__FILE__, __LINE__, #condition, (detail));    \
    } while (false)

namespace sheetsmith::fuzz {

// One round of one to three random edits of the text, as the editor reports them,
// gathered into one range.
inline EditedRange randomEdits(FuzzedDataProvider &input, TextModel &model)
{
    EditedRange edited;
    for (int e = input.ConsumeIntegralInRange(1, 3); e > 0 && input.remaining_bytes() > 0; --e) {
        const qsizetype qtLength = model.qtLength();
        const qsizetype pos = input.ConsumeIntegralInRange<qsizetype>(0, qtLength);
        const qsizetype removed = input.ConsumeIntegralInRange<qsizetype>(0, qtLength - pos);
        const std::optional<TextModel::Change> change = model.applyQtChange(pos, removed, consumeText(input, 24));
        FUZZ_REQUIRE(change.has_value(), model.text());
        edited.add(*change);
    }
    return edited;
}

} // namespace sheetsmith::fuzz
