#include "preview/pagenames.h"

#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <QVarLengthArray>

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <mutex>

namespace sheetsmith {

namespace {

QByteArrayView view(const xmlChar *s)
{
    return s ? QByteArrayView(reinterpret_cast<const char *>(s)) : QByteArrayView();
}

bool isHtmlBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

// What one parse counts. Element names come from the parser's dictionary (or are
// its own constants for the elements it supplies), so they are counted by address and
// turned into text once each at the end; attribute values live only for the call that
// gives them and are copied.
struct Counts
{
    QHash<const xmlChar *, int> elements;
    QHash<QByteArray, int> classes;
    QHash<QByteArray, int> ids;
};

void countClasses(QByteArrayView value, QHash<QByteArray, int> &classes)
{
    // An element that names a class twice still carries it once.
    QVarLengthArray<QByteArrayView, 8> seen;
    qsizetype i = 0;
    while (i < value.size()) {
        while (i < value.size() && isHtmlBlank(value[i]))
            ++i;
        const qsizetype start = i;
        while (i < value.size() && !isHtmlBlank(value[i]))
            ++i;
        if (i == start)
            break;
        const QByteArrayView name = value.sliced(start, i - start);
        if (std::find(seen.begin(), seen.end(), name) != seen.end())
            continue;
        seen.append(name);
        ++classes[name.toByteArray()];
    }
}

// The parser's report of a start tag, its own supplied html, head and body included:
// the name, then the attributes as name and value pairs (names in lower case, values
// with their character references resolved, a value missing for a bare attribute).
void startElement(void *context, const xmlChar *name, const xmlChar **attributes)
{
    Counts &counts = *static_cast<Counts *>(context);
    ++counts.elements[name];
    for (const xmlChar **a = attributes; a && a[0]; a += 2) {
        const QByteArrayView attribute = view(a[0]);
        const QByteArrayView value = view(a[1]);
        if (attribute == "class")
            countClasses(value, counts.classes);
        else if (attribute == "id" && !value.isEmpty())
            ++counts.ids[value.toByteArray()];
    }
}

// The parser's messages about the markup it recovered from: nobody reads them.
void ignoreMessage(void *, const char *, ...) {}

QString text(QByteArrayView bytes)
{
    return QString::fromUtf8(bytes);
}

} // namespace

std::optional<PageNames> ParsePageNames(const QByteArray &bytes)
{
    if (bytes.isEmpty() || bytes.contains('\0') || !bytes.contains('<') || bytes.size() > kMaxPageBytes)
        return std::nullopt;
    static std::once_flag initialised;
    std::call_once(initialised, [] { xmlInitParser(); });
    // The parser reports what it reads instead of building a document of it: counting
    // needs only the start tags, and a tree of a page of megabytes takes longer to build
    // and free than the reading itself.
    htmlParserCtxtPtr parser = htmlCreateMemoryParserCtxt(bytes.constData(), int(bytes.size()));
    if (!parser)
        return std::nullopt;
    Counts counts;
    htmlSAXHandler handler{};
    handler.startElement = startElement;
    handler.warning = ignoreMessage;
    handler.error = ignoreMessage;
    handler.fatalError = ignoreMessage;
    *parser->sax = handler;
    parser->userData = &counts;
    htmlCtxtUseOptions(parser, HTML_PARSE_RECOVER | HTML_PARSE_NONET);
    htmlParseDocument(parser);
    if (parser->myDoc)
        xmlFreeDoc(parser->myDoc);
    parser->myDoc = nullptr;

    PageNames names;
    names.elements.reserve(counts.elements.size());
    for (auto it = counts.elements.cbegin(); it != counts.elements.cend(); ++it)
        names.elements[text(view(it.key())).toLower()] += it.value();
    // The element names are the parser's: they go with it, after they are read.
    htmlFreeParserCtxt(parser);
    if (names.elements.isEmpty())
        return std::nullopt;
    names.classes.reserve(counts.classes.size());
    for (auto it = counts.classes.cbegin(); it != counts.classes.cend(); ++it)
        names.classes.insert(text(it.key()), it.value());
    names.ids.reserve(counts.ids.size());
    for (auto it = counts.ids.cbegin(); it != counts.ids.cend(); ++it)
        names.ids.insert(text(it.key()), it.value());
    return names;
}

PageReading ReadPageFile(const QString &path)
{
    PageReading reading;
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (QFileInfo(path).isDir()) {
        reading.problem = QStringLiteral("Page %1 is a folder, not a file").arg(name);
        return reading;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        reading.problem = QStringLiteral("Cannot read page %1: %2").arg(name, file.errorString());
        return reading;
    }
    if (file.size() > kMaxPageBytes) {
        reading.problem = QStringLiteral("Page %1 is too large to read its names").arg(name);
        return reading;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        reading.problem = QStringLiteral("Cannot read page %1: %2").arg(name, file.errorString());
        return reading;
    }
    reading.names = ParsePageNames(bytes);
    if (!reading.names)
        reading.problem = QStringLiteral("Page %1 is not HTML").arg(name);
    return reading;
}

QList<NameUse> MergePageNames(const QList<std::pair<QString, const PageNames *>> &pages, NameKind kind)
{
    QHash<QString, NameUse> merged;
    for (const auto &[page, names] : pages) {
        if (!names)
            continue;
        const QHash<QString, int> &of = kind == NameKind::Element ? names->elements
                                        : kind == NameKind::Class ? names->classes
                                                                  : names->ids;
        if (merged.isEmpty())
            merged.reserve(of.size());
        for (auto it = of.cbegin(); it != of.cend(); ++it) {
            NameUse &use = merged[it.key()];
            if (use.pages == 0) {
                use.name = it.key();
                use.page = page;
            }
            use.count += it.value();
            ++use.pages;
        }
    }
    QList<NameUse> out;
    out.reserve(merged.size());
    for (NameUse &use : merged) {
        if (use.pages > 1)
            use.page.clear();
        out.append(std::move(use));
    }
    std::sort(out.begin(), out.end(), [](const NameUse &a, const NameUse &b) {
        return a.count != b.count ? a.count > b.count : a.name < b.name;
    });
    return out;
}

QString NameUseLabel(const NameUse &use)
{
    const QString where = use.pages == 1 ? use.page : QStringLiteral("%1 pages").arg(use.pages);
    return QStringLiteral("%1 \u2014 %2 in %3").arg(use.name).arg(use.count).arg(where);
}

} // namespace sheetsmith
