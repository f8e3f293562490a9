#include "preview/pagenames.h"

#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <QVarLengthArray>

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <mutex>

namespace sheetsmith {

namespace {

struct DocFree
{
    void operator()(xmlDoc *doc) const { xmlFreeDoc(doc); }
};

QByteArrayView view(const xmlChar *s)
{
    return s ? QByteArrayView(reinterpret_cast<const char *>(s)) : QByteArrayView();
}

bool isHtmlBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

// What one parse counts, keyed by views into the document: element names are the
// parser's interned strings, so they are counted by address and turned into text
// once each at the end.
struct Counts
{
    QHash<const xmlChar *, int> elements;
    QHash<QByteArrayView, int> classes;
    QHash<QByteArrayView, int> ids;
    // Attribute values libxml2 had to assemble from several nodes, kept while the
    // views above point into them.
    std::deque<QByteArray> assembled;
};

// An attribute's value as the parser decoded it (character references resolved). The
// HTML parser gives a value one text node; anything else is assembled by libxml2.
QByteArrayView attributeValue(const xmlAttr *attribute, Counts &counts)
{
    const xmlNode *child = attribute->children;
    if (!child)
        return {};
    if (child->type == XML_TEXT_NODE && !child->next)
        return view(child->content);
    xmlChar *value = xmlNodeListGetString(attribute->doc, child, 1);
    counts.assembled.emplace_back(reinterpret_cast<const char *>(value));
    xmlFree(value);
    return counts.assembled.back();
}

void countClasses(QByteArrayView value, QHash<QByteArrayView, int> &classes)
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
        ++classes[name];
    }
}

void countElement(const xmlNode *node, Counts &counts)
{
    ++counts.elements[node->name];
    for (const xmlAttr *a = node->properties; a; a = a->next) {
        // The parser gives attribute names in lower case.
        const QByteArrayView name = view(a->name);
        if (name == "class") {
            countClasses(attributeValue(a, counts), counts.classes);
        } else if (name == "id") {
            const QByteArrayView value = attributeValue(a, counts);
            if (!value.isEmpty())
                ++counts.ids[value];
        }
    }
}

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
    const int options = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET;
    const std::unique_ptr<xmlDoc, DocFree> doc(htmlReadMemory(bytes.constData(), int(bytes.size()), nullptr, nullptr, options));
    if (!doc)
        return std::nullopt;

    Counts counts;
    // Depth first without recursion: a page may nest deeper than a stack would like.
    const xmlNode *node = xmlDocGetRootElement(doc.get());
    while (node) {
        if (node->type == XML_ELEMENT_NODE)
            countElement(node, counts);
        if (node->type == XML_ELEMENT_NODE && node->children) {
            node = node->children;
            continue;
        }
        while (node && !node->next)
            node = node->parent && node->parent->type != XML_DOCUMENT_NODE
                       && node->parent->type != XML_HTML_DOCUMENT_NODE
                       ? node->parent
                       : nullptr;
        if (node)
            node = node->next;
    }
    if (counts.elements.isEmpty())
        return std::nullopt;

    PageNames names;
    names.elements.reserve(counts.elements.size());
    for (auto it = counts.elements.cbegin(); it != counts.elements.cend(); ++it)
        names.elements[text(view(it.key())).toLower()] += it.value();
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
