#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace sheetsmith {

// The names a page's markup uses, each with how often: element names in lower case
// (HTML's are case-insensitive), and classes and ids exactly as written (their values
// are case-sensitive). A class counts the elements that carry it; an id the elements
// that have it (more than one is the page's own mistake, and shows as such).
struct PageNames
{
    QHash<QString, int> elements;
    QHash<QString, int> classes;
    QHash<QString, int> ids;

    bool operator==(const PageNames &) const = default;
};

// Reads HTML bytes with libxml2's HTML parser, which recovers from malformed markup
// as browsers do and reaches nothing outside the bytes. The elements counted are those
// of the document the parser builds, the ones it supplies included (html, head and
// body around a page that leaves them out, as a browser's document has them). The
// encoding comes from a byte-order mark or the page's meta charset, else UTF-8 is
// tried. Bytes that are not HTML give no names: empty, holding a NUL byte (an image,
// an archive), or with no "<" at all (text without markup, which the parser would
// wrap in a paragraph).
std::optional<PageNames> ParsePageNames(const QByteArray &bytes);

// Pages larger than this are not read: no page the author previews is that large,
// and a file listed by mistake must not hold the reader up for long.
inline constexpr qint64 kMaxPageBytes = 64 * 1024 * 1024;

// A page file read into its names. When it cannot be read or is not HTML, names is
// empty and problem says why, naming the file by its name.
struct PageReading
{
    std::optional<PageNames> names;
    QString problem;
};
PageReading ReadPageFile(const QString &path);

// One name used in the pages, for completion: its uses in all pages together, in how
// many pages, and the page's file name when it is one.
struct NameUse
{
    QString name;
    int count = 0;
    int pages = 0;
    QString page;

    bool operator==(const NameUse &) const = default;
};

enum class NameKind { Element, Class, Id };

// The names of one kind over several pages (each its file name and its names), the
// most used first, then by name (case-sensitive), so the order does not depend on
// the pages' order or on hashing.
QList<NameUse> MergePageNames(const QList<std::pair<QString, const PageNames *>> &pages, NameKind kind);

// How an entry reads in the completion popup: "card — 14 in index.html",
// "card — 14 in 2 pages".
QString NameUseLabel(const NameUse &use);

} // namespace sheetsmith
