#include "inspector/valuerules.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>

namespace sheetsmith {

QString RelativePath(const QString &docPath, const QString &file)
{
    if (docPath.isEmpty() || file.isEmpty())
        return file;
    const QString d = QDir::cleanPath(docPath);
    const QString f = QDir::cleanPath(file);

    // The longest run of equal leading characters, cut back to just after its last
    // "/", so that the shared part never ends inside a folder or file name.
    qsizetype same = 0;
    const qsizetype most = std::min(d.size(), f.size());
    while (same < most && d[same] == f[same])
        ++same;
    const qsizetype common = same == 0 ? 0 : d.lastIndexOf(u'/', same - 1) + 1;

    const QString dRest = d.mid(common);
    const QString fRest = f.mid(common);
    return QStringLiteral("../").repeated(dRest.count(u'/')) + fRest;
}

QString UrlValue(const QString &path)
{
    QString escaped;
    escaped.reserve(path.size() + 8);
    for (const QChar c : path) {
        if (c.isSpace() || c == u'(' || c == u')' || c == u',' || c == u'\'' || c == u'"' || c == u'\\')
            escaped += u'\\';
        escaped += c;
    }
    return QStringLiteral("url(") + escaped + u')';
}

QStringList DropDownEntries(const QString &valueList)
{
    QStringList entries;
    for (const QString &piece : valueList.split(u'|')) {
        if (piece.startsWith(u'<')) {
            entries.insert(0, piece);
        } else {
            entries.append(piece);
        }
    }
    return entries;
}

QStringList GenericFontEntries()
{
    return {QStringLiteral("Generic: serif"), QStringLiteral("Generic: sans-serif"),
            QStringLiteral("Generic: cursive"), QStringLiteral("Generic: fantasy"),
            QStringLiteral("Generic: monospace")};
}

bool IsGenericFontEntry(const QString &entry)
{
    return entry.startsWith(GenericFontPrefix);
}

QString FontFamilyList(const QList<FontEntry> &entries)
{
    QString specific;
    QString generic;
    for (const FontEntry &entry : entries) {
        if (!entry.checked)
            continue;
        if (IsGenericFontEntry(entry.text))
            generic += QStringLiteral(", ") + entry.text.mid(GenericFontPrefix.size());
        else if (entry.text.contains(u' '))
            specific += u'"' + entry.text + QStringLiteral("\", ");
        else
            specific += entry.text + QStringLiteral(", ");
    }
    if (!specific.isEmpty())
        return specific.chopped(2) + generic;
    if (!generic.isEmpty())
        return generic.mid(2);
    return QString();
}

QStringList LengthUnits()
{
    return {QStringLiteral("cm"), QStringLiteral("em"), QStringLiteral("ex"), QStringLiteral("in"),
            QStringLiteral("mm"), QStringLiteral("pc"), QStringLiteral("pt"), QStringLiteral("px")};
}

namespace {

// A CSS number: an optional sign, then digits with an optional fraction, or a
// fraction alone; the rest of the value follows it.
const QRegularExpression &numberThenRest()
{
    static const QRegularExpression re(QStringLiteral("^([+-]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+))(.*)$"));
    return re;
}

} // namespace

std::optional<NumberAndUnit> SplitLength(const QString &value)
{
    const QRegularExpressionMatch m = numberThenRest().match(value.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QString unit = m.captured(2).toLower();
    if (!LengthUnits().contains(unit))
        return std::nullopt;
    return NumberAndUnit{m.captured(1), unit};
}

std::optional<NumberAndUnit> SplitPercentage(const QString &value)
{
    const QRegularExpressionMatch m = numberThenRest().match(value.trimmed());
    if (!m.hasMatch() || m.captured(2) != QLatin1String("%"))
        return std::nullopt;
    return NumberAndUnit{m.captured(1), QStringLiteral("%")};
}

} // namespace sheetsmith
