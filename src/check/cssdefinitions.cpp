#include "check/cssdefinitions.h"

#include <QList>
#include <QResource>

namespace sheetsmith {

namespace {

const QString BuiltInPath = QStringLiteral(":/sheetsmith/cssdefinitions.txt");

const CssDefinitions::Definition *find(const QHash<QString, CssDefinitions::Definition> &table, QStringView name)
{
    // A key over the caller's characters rather than a copy of them: a lookup allocates
    // nothing.
    const QString key = QString::fromRawData(name.data(), name.size());
    const auto found = table.constFind(key);
    return found == table.cend() ? nullptr : &*found;
}

} // namespace

const CssDefinitions &CssDefinitions::builtIn()
{
    // Read on first use, never at start-up; the first use from several threads at once
    // is safe, as for any function-local static.
    static const CssDefinitions definitions = [] {
        const QResource resource(BuiltInPath);
        if (!resource.isValid()) {
            CssDefinitions missing;
            missing.m_error = QStringLiteral("the program has no built-in definitions (%1)").arg(BuiltInPath);
            return missing;
        }
        return fromData(resource.uncompressedData());
    }();
    return definitions;
}

CssDefinitions CssDefinitions::fromData(const QByteArray &data)
{
    const auto refused = [](const QString &why) {
        CssDefinitions none;
        none.m_error = why;
        return none;
    };
    if (data.isEmpty())
        return refused(QStringLiteral("the definitions are empty"));
    // Checked as a whole: a sequence cut off at the very end would otherwise be dropped
    // without a word.
    if (!data.isValidUtf8())
        return refused(QStringLiteral("the definitions are not valid UTF-8"));
    if (!data.endsWith('\n'))
        return refused(QStringLiteral("the definitions end inside a line: they were cut short"));

    const QString text = QString::fromUtf8(data);
    const QString header = QStringLiteral("%1 %2").arg(QLatin1String(FormatName)).arg(FormatVersion);
    CssDefinitions defs;
    const QHash<QStringView, QHash<QString, Definition> *> tables{
        {u"property", &defs.m_properties},          {u"type", &defs.m_types},
        {u"function", &defs.m_functions},           {u"at-rule", &defs.m_atRules},
        {u"pseudo-class", &defs.m_pseudoClasses},   {u"pseudo-element", &defs.m_pseudoElements},
    };

    qsizetype lineNumber = 0;
    for (qsizetype start = 0; start < text.size();) {
        const qsizetype end = text.indexOf(u'\n', start);
        const QStringView line = QStringView(text).sliced(start, end - start);
        start = end + 1;
        ++lineNumber;
        const auto fault = [&](const QString &what) {
            return refused(QStringLiteral("line %1: %2").arg(lineNumber).arg(what));
        };

        if (lineNumber == 1) {
            if (line == header)
                continue;
            const QString name = QLatin1String(FormatName) + u' ';
            if (line.startsWith(name))
                return refused(QStringLiteral("the definitions are in version %1 of their format; this "
                                              "program reads version %2")
                                   .arg(line.sliced(name.size()))
                                   .arg(FormatVersion));
            return refused(QStringLiteral("the first line is \"%1\", not \"%2\"")
                               .arg(line.left(60).toString(), header));
        }

        const QList<QStringView> fields = line.split(u'\t');
        const QStringView kind = fields.front();
        const auto fieldCount = [&](qsizetype wanted) {
            return fault(QStringLiteral("a %1 line needs %2 fields separated by tabs, this one has %3")
                             .arg(kind.toString())
                             .arg(wanted)
                             .arg(fields.size()));
        };
        if (kind == u"source") {
            if (fields.size() != 2)
                return fieldCount(2);
            defs.m_source = fields.at(1).toString();
        } else if (kind == u"standard") {
            if (fields.size() != 3)
                return fieldCount(3);
            if (fields.at(1).isEmpty() || fields.at(2).isEmpty())
                return fault(QStringLiteral("a standard needs a title and a url"));
            defs.m_standards.push_back(Standard{fields.at(1).toString(), fields.at(2).toString()});
        } else if (const auto table = tables.constFind(kind); table != tables.cend()) {
            if (fields.size() != 4)
                return fieldCount(4);
            Definition d;
            d.name = fields.at(1).toString();
            if (d.name.isEmpty())
                return fault(QStringLiteral("a %1 without a name").arg(kind.toString()));
            if (!fields.at(2).isEmpty()) {
                bool ok = false;
                d.standard = fields.at(2).toInt(&ok);
                // Standards are listed before the definitions that name them.
                if (!ok || d.standard < 0 || size_t(d.standard) >= defs.m_standards.size())
                    return fault(QStringLiteral("the standard \"%1\" of %2 is not one of the %3 listed before it")
                                     .arg(fields.at(2).toString(), d.name)
                                     .arg(defs.m_standards.size()));
            }
            d.syntax = fields.at(3).toString();
            QHash<QString, Definition> &into = **table;
            // The key shares the name's characters when it is in lower case already.
            const QString key = &into == &defs.m_types ? d.name : d.name.toLower();
            if (into.contains(key))
                return fault(QStringLiteral("a second %1 \"%2\"").arg(kind.toString(), d.name));
            into.insert(key, std::move(d));
        } else if (kind.isEmpty()) {
            return fault(QStringLiteral("an empty line"));
        } else {
            return fault(QStringLiteral("unknown kind \"%1\"").arg(kind.left(40).toString()));
        }
    }
    if (defs.m_properties.isEmpty())
        return refused(QStringLiteral("the definitions name no property"));
    defs.m_standards.shrink_to_fit();
    return defs;
}

const CssDefinitions::Definition *CssDefinitions::property(QStringView name) const
{
    return find(m_properties, name);
}

const CssDefinitions::Definition *CssDefinitions::type(QStringView name) const
{
    return find(m_types, name);
}

const CssDefinitions::Definition *CssDefinitions::function(QStringView name) const
{
    return find(m_functions, name);
}

const CssDefinitions::Definition *CssDefinitions::atRule(QStringView name) const
{
    return find(m_atRules, name);
}

const CssDefinitions::Definition *CssDefinitions::pseudoClass(QStringView name) const
{
    return find(m_pseudoClasses, name);
}

const CssDefinitions::Definition *CssDefinitions::pseudoElement(QStringView name) const
{
    return find(m_pseudoElements, name);
}

QString CssDefinitions::standardTitle(const Definition &d) const
{
    return d.standard >= 0 && size_t(d.standard) < m_standards.size() ? m_standards[size_t(d.standard)].title : QString();
}

} // namespace sheetsmith
