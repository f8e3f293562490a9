// Style-sheet bytes as text and back. Any bytes either open, as text with CR LF breaks
// only, or are refused with a message. What opens is encoded again, unedited, to the
// very same bytes when its line breaks are all of one kind (all CR LF or all LF).
//
// The exceptions, where the encoding is not byte-identical, are the line breaks alone:
//   - breaks of more than one kind (CR LF and LF): a file keeps one line ending, the
//     one its first break has, and every break is written that way;
//   - any lone CR: it is a break in the text and is written as the file's line ending
//     (LF when the first break is a lone CR), never as a lone CR.
// Whatever the breaks, decoding the encoded bytes again gives the same text and format.

#include "fuzzsupport.h"

#include "text/documentfile.h"

#include <QStringDecoder>

using namespace sheetsmith;
using namespace sheetsmith::fuzz;

namespace {

QString formatText(const FileFormat &f)
{
    return QStringLiteral("encoding %1 bom %2 breaks %3")
        .arg(f.encoding == FileFormat::Encoding::Utf8 ? "UTF-8" : "Windows-1252")
        .arg(f.bom)
        .arg(f.lineEnding == FileFormat::LineEnding::CrLf ? "CR LF" : "LF");
}

// The kinds of line break in the bytes, each counted once.
struct Breaks
{
    bool crLf = false;
    bool lf = false;
    bool cr = false;
};

Breaks breaksOf(const QByteArray &bytes)
{
    Breaks b;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            b.crLf = true;
            ++i;
        } else if (bytes[i] == '\r') {
            b.cr = true;
        } else if (bytes[i] == '\n') {
            b.lf = true;
        }
    }
    return b;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const ReadResult read = decodeDocument(bytes);
    const QString input = QString::fromLatin1(bytes);

    if (!read.ok) {
        FUZZ_REQUIRE(!read.error.isEmpty(), input);
        FUZZ_REQUIRE(bytes.contains('\0'), QStringLiteral("refused text: %1").arg(read.error));
        return 0;
    }
    FUZZ_REQUIRE(read.error.isEmpty(), read.error);
    FUZZ_REQUIRE(!bytes.contains('\0'), input);

    // The format read: UTF-8 exactly when the bytes after a leading mark are valid
    // UTF-8, the mark only then, and the line ending of the first break.
    const QByteArray mark("\xEF\xBB\xBF");
    const bool marked = bytes.startsWith(mark);
    const QByteArray unmarked = marked ? bytes.mid(mark.size()) : bytes;
    const bool isUtf8 = unmarked.isValidUtf8();
    FUZZ_REQUIRE((read.format.encoding == FileFormat::Encoding::Utf8) == isUtf8, formatText(read.format));
    FUZZ_REQUIRE(read.format.bom == (isUtf8 && marked), formatText(read.format));
    const qsizetype firstBreak = [&bytes] {
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\r' || bytes[i] == '\n')
                return i;
        }
        return qsizetype(-1);
    }();
    const bool crLf = firstBreak >= 0 && bytes.mid(firstBreak, 2) == "\r\n";
    FUZZ_REQUIRE((read.format.lineEnding == FileFormat::LineEnding::CrLf) == crLf, formatText(read.format));
    if (isUtf8) {
        // Every character of the text, a second mark included.
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        QString expected = utf8(unmarked);
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        expected.replace(u'\r', u'\n');
        expected.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        FUZZ_REQUIRE(read.text == expected, QStringLiteral("read: %1\nexpected: %2").arg(read.text, expected));
    }

    // Only CR LF breaks in the editor's text.
    const QString &text = read.text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r')
            FUZZ_REQUIRE(i + 1 < text.size() && text[i + 1] == u'\n', text);
        if (text[i] == u'\n')
            FUZZ_REQUIRE(i > 0 && text[i - 1] == u'\r', text);
    }

    const EncodedDocument encoded = encodeDocument(text, read.format);
    FUZZ_REQUIRE(encoded.formatUsed == read.format,
                 QStringLiteral("read %1, written %2").arg(formatText(read.format), formatText(encoded.formatUsed)));

    const Breaks breaks = breaksOf(bytes);
    const int kinds = int(breaks.crLf) + int(breaks.lf) + int(breaks.cr);
    const bool oneKind = kinds == 0 || (kinds == 1 && !breaks.cr);
    if (oneKind) {
        FUZZ_REQUIRE(encoded.bytes == bytes,
                     QStringLiteral("%1\nread: %2\nwritten: %3")
                         .arg(formatText(read.format), input, QString::fromLatin1(encoded.bytes)));
    }

    const ReadResult again = decodeDocument(encoded.bytes);
    FUZZ_REQUIRE(again.ok && again.text == text, QString::fromLatin1(encoded.bytes));
    FUZZ_REQUIRE(again.format == read.format,
                 QStringLiteral("first %1, again %2").arg(formatText(read.format), formatText(again.format)));
    return 0;
}
