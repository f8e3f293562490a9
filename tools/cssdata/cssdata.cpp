// Turns the W3C's machine-readable CSS definitions and the list of standards into
// the compact form the program compiles in (CssDefinitions::fromData reads it):
//
//   sheetsmith_cssdata CSS.json STANDARDS.json SOURCE OUT
//
// SOURCE is where the definitions come from, as the program says it ("@webref/css
// 8.7.8, web-specs 4.16.0"). Run by the build; OUT is written whole or not at all, and
// only when the program's own reader takes it.
#include "check/cssdefinitions.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStringList>

#include <cstdio>
#include <vector>

namespace {

struct Failure
{
    QString message;
};

// One definition as written: several entries of the same kind and name (a function
// defined for more than one context, "::cue" and "::cue()") become one, whose syntax is
// the alternatives of those that have one.
struct Entry
{
    QString name;
    QStringList syntaxes;
    qsizetype standard = -1; // index into the list of standards
    bool standardFromSyntax = false;
    QString legacyAliasOf;
};

// The entries of one kind, in the order they first appear, found by the name the
// program looks them up by.
struct Kind
{
    explicit Kind(const char *t, bool keepCase = false) : tag(t), keepsCase(keepCase) {}

    const char *tag;
    bool keepsCase;
    std::vector<Entry> entries;
    QHash<QString, qsizetype> byKey;

    QString keyOf(const QString &name) const { return keepsCase ? name : name.toLower(); }
};

QJsonDocument readJson(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure{QStringLiteral("%1: %2").arg(path, file.errorString())};
    QJsonParseError error;
    QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (doc.isNull())
        throw Failure{
            QStringLiteral("%1: not JSON: %2 at byte %3").arg(path, error.errorString()).arg(error.offset)};
    return doc;
}

// Tabs and line breaks would break the line format; in a syntax or a title they are
// blanks like any other.
QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    }
    return text;
}

class Standards
{
public:
    explicit Standards(const QJsonArray &index)
    {
        for (const QJsonValue &v : index) {
            const QJsonObject standard = v.toObject();
            const QJsonObject nightly = standard.value(QLatin1String("nightly")).toObject();
            QStringList urls{nightly.value(QLatin1String("url")).toString()};
            for (const QJsonValue &alt : nightly.value(QLatin1String("alternateUrls")).toArray())
                urls << alt.toString();
            urls << standard.value(QLatin1String("release")).toObject().value(QLatin1String("url")).toString()
                 << standard.value(QLatin1String("url")).toString();
            const qsizetype at = m_all.size();
            m_all.push_back(standard);
            // The first standard to claim a URL keeps it.
            for (const QString &url : urls) {
                if (!url.isEmpty() && !m_byUrl.contains(url))
                    m_byUrl.insert(url, at);
            }
        }
    }

    // The standard whose page href is on (its URL without the fragment), -1 when none.
    qsizetype find(const QString &href) const
    {
        const qsizetype hash = href.indexOf(u'#');
        return m_byUrl.value(hash < 0 ? href : href.left(hash), -1);
    }

    // The number the compact form gives standard, which is written on first use: only the
    // standards that define something are listed.
    int written(qsizetype standard)
    {
        const auto found = m_written.constFind(standard);
        if (found != m_written.cend())
            return *found;
        const QJsonObject &json = m_all.at(standard);
        QString url = json.value(QLatin1String("nightly")).toObject().value(QLatin1String("url")).toString();
        if (url.isEmpty())
            url = json.value(QLatin1String("url")).toString();
        // The program refuses a standard line without a title.
        QString title = json.value(QLatin1String("title")).toString();
        if (title.trimmed().isEmpty())
            title = json.value(QLatin1String("shortname")).toString();
        if (title.trimmed().isEmpty())
            title = url;
        const int index = int(m_lines.size());
        m_lines << QStringLiteral("standard\t%1\t%2").arg(oneLine(title), oneLine(url));
        m_written.insert(standard, index);
        return index;
    }

    const QStringList &lines() const { return m_lines; }

private:
    std::vector<QJsonObject> m_all;
    QHash<QString, qsizetype> m_byUrl;
    QHash<qsizetype, int> m_written;
    QStringList m_lines;
};

void add(Kind &kind, const QString &name, const QJsonObject &def, const Standards &standards)
{
    const QString key = kind.keyOf(name);
    auto found = kind.byKey.constFind(key);
    if (found == kind.byKey.cend()) {
        found = kind.byKey.insert(key, qsizetype(kind.entries.size()));
        kind.entries.push_back(Entry{name, {}, standards.find(def.value(QLatin1String("href")).toString()), false,
                                     def.value(QLatin1String("legacyAliasOf")).toString()});
    }
    Entry &entry = kind.entries[*found];
    const QString syntax = oneLine(def.value(QLatin1String("syntax")).toString()).trimmed();
    if (syntax.isEmpty())
        return;
    // The standard is that of the first definition with a syntax, else of the first.
    if (!entry.standardFromSyntax) {
        entry.standardFromSyntax = true;
        entry.standard = standards.find(def.value(QLatin1String("href")).toString());
    }
    if (!entry.syntaxes.contains(syntax))
        entry.syntaxes << syntax;
}

QString syntaxOf(const Entry &entry)
{
    if (entry.syntaxes.size() == 1)
        return entry.syntaxes.front();
    QStringList alternatives;
    for (const QString &s : entry.syntaxes)
        alternatives << QStringLiteral("[ %1 ]").arg(s);
    return alternatives.join(QLatin1String(" | "));
}

QJsonArray arrayOf(const QJsonObject &css, const char *key)
{
    const QJsonValue v = css.value(QLatin1String(key));
    if (!v.isArray())
        throw Failure{QStringLiteral("the CSS definitions have no array \"%1\"").arg(QLatin1String(key))};
    return v.toArray();
}

QString nameOf(const QJsonValue &v, const char *array, qsizetype i)
{
    const QString name = v.toObject().value(QLatin1String("name")).toString();
    if (name.isEmpty())
        throw Failure{QStringLiteral("%1[%2] has no name").arg(QLatin1String(array)).arg(i)};
    return name;
}

QByteArray compact(const QJsonObject &css, const QJsonArray &index, const QString &source)
{
    Standards standards(index);
    Kind properties{"property"};
    Kind types{"type", true};
    Kind functions{"function"};
    Kind atRules{"at-rule"};
    Kind pseudoClasses{"pseudo-class"};
    Kind pseudoElements{"pseudo-element"};

    const auto each = [&](const char *array, Kind &kind, auto strip) {
        const QJsonArray defs = arrayOf(css, array);
        for (qsizetype i = 0; i < defs.size(); ++i) {
            const QString name = strip(nameOf(defs.at(i), array, i));
            if (name.isEmpty())
                throw Failure{QStringLiteral("%1[%2] has an empty name").arg(QLatin1String(array)).arg(i)};
            add(kind, name, defs.at(i).toObject(), standards);
        }
    };
    each("properties", properties, [](QString n) { return n; });
    each("types", types, [](QString n) {
        if (n.startsWith(u'<') && n.endsWith(u'>'))
            n = n.mid(1, n.size() - 2);
        return n;
    });
    each("functions", functions, [](QString n) {
        if (n.endsWith(QLatin1String("()")))
            n.chop(2);
        return n;
    });
    each("atrules", atRules, [](QString n) { return n.startsWith(u'@') ? n.mid(1) : n; });

    // Combinators ("&", ">", "+", "~", "||") are selectors too; they are left out. The
    // four pseudo-elements CSS level 2 wrote with one colon count as both kinds.
    const QJsonArray selectors = arrayOf(css, "selectors");
    for (qsizetype i = 0; i < selectors.size(); ++i) {
        QString name = nameOf(selectors.at(i), "selectors", i);
        if (!name.startsWith(u':'))
            continue;
        const bool element = name.startsWith(QLatin1String("::"));
        name = name.mid(element ? 2 : 1);
        if (name.endsWith(QLatin1String("()")))
            name.chop(2);
        if (name.isEmpty())
            throw Failure{QStringLiteral("selectors[%1] has an empty name").arg(i)};
        const QJsonObject def = selectors.at(i).toObject();
        if (element) {
            add(pseudoElements, name, def, standards);
        } else {
            add(pseudoClasses, name, def, standards);
            static const QStringList bothKinds{QStringLiteral("before"), QStringLiteral("after"),
                                               QStringLiteral("first-line"), QStringLiteral("first-letter")};
            if (bothKinds.contains(name))
                add(pseudoElements, name, def, standards);
        }
    }

    // A legacy alias without a syntax of its own takes its target's.
    for (Entry &alias : properties.entries) {
        if (!alias.syntaxes.isEmpty() || alias.legacyAliasOf.isEmpty())
            continue;
        const auto target = properties.byKey.constFind(properties.keyOf(alias.legacyAliasOf));
        if (target != properties.byKey.cend())
            alias.syntaxes = properties.entries[*target].syntaxes;
    }

    QStringList lines{QStringLiteral("%1 %2").arg(QLatin1String(sheetsmith::CssDefinitions::FormatName))
                          .arg(sheetsmith::CssDefinitions::FormatVersion),
                      QStringLiteral("source\t%1").arg(oneLine(source))};
    QStringList definitions;
    for (const Kind *kind : {&properties, &types, &functions, &atRules, &pseudoClasses, &pseudoElements}) {
        for (const Entry &e : kind->entries) {
            definitions << QStringLiteral("%1\t%2\t%3\t%4")
                               .arg(QLatin1String(kind->tag), oneLine(e.name),
                                    e.standard < 0 ? QString() : QString::number(standards.written(e.standard)), syntaxOf(e));
        }
    }
    // Every standard line before the first definition that names one.
    lines << standards.lines() << definitions;
    return (lines.join(u'\n') + u'\n').toUtf8();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 5) {
        std::fputs("usage: sheetsmith_cssdata CSS.json STANDARDS.json SOURCE OUT\n", stderr);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[4]);
    try {
        const QJsonDocument css = readJson(QString::fromLocal8Bit(argv[1]));
        const QJsonDocument index = readJson(QString::fromLocal8Bit(argv[2]));
        if (!css.isObject())
            throw Failure{QStringLiteral("%1: not a JSON object").arg(QString::fromLocal8Bit(argv[1]))};
        if (!index.isArray())
            throw Failure{QStringLiteral("%1: not a JSON array").arg(QString::fromLocal8Bit(argv[2]))};
        const QByteArray data = compact(css.object(), index.array(), QString::fromLocal8Bit(argv[3]));
        // Read back as the program will: a table it would refuse stops the build here
        // instead of leaving the program on CSS level 1 alone.
        const sheetsmith::CssDefinitions check = sheetsmith::CssDefinitions::fromData(data);
        if (!check.error().isEmpty())
            throw Failure{QStringLiteral("the table made is refused: %1").arg(check.error())};
        QSaveFile file(out);
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
            throw Failure{QStringLiteral("%1: %2").arg(out, file.errorString())};
    } catch (const Failure &failure) {
        std::fprintf(stderr, "sheetsmith_cssdata: %s\n", qPrintable(failure.message));
        return 1;
    }
    return 0;
}
