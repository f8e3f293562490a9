#include "check/cssdefinitions.h"

#include <QProcess>
#include <QTest>

using namespace sheetsmith;

// The definitions of current CSS: the copy compiled into the program has every kind;
// the build's tool makes the table by its rules (legacy aliases, several definitions
// of one name, the selectors' two kinds, the standards found by their pages); and a compact
// form that is damaged in any way is refused with a message and nothing in it.
class TestCssDefinitions : public QObject
{
    Q_OBJECT

private slots:
    void builtInDefines_data();
    void builtInDefines();
    void theBuildMakesTheTableByItsRules();
    void theBuildRefusesDefinitionsItCannotRead();
    void aTableReadsAsWritten();
    void damagedDataIsRefused_data();
    void damagedDataIsRefused();
};

namespace {

const CssDefinitions::Definition *lookUp(const CssDefinitions &defs, const QString &kind, const QString &name)
{
    if (kind == u"property")
        return defs.property(name);
    if (kind == u"type")
        return defs.type(name);
    if (kind == u"function")
        return defs.function(name);
    if (kind == u"at-rule")
        return defs.atRule(name);
    if (kind == u"pseudo-class")
        return defs.pseudoClass(name);
    return defs.pseudoElement(name);
}

// JSON written with single quotes, which C++ strings need not escape.
QByteArray json(const char *text)
{
    return QByteArray(text).replace('\'', '"');
}

// Runs the build's tool on the given JSON files; its exit code, and the table it made.
int runTool(const QByteArray &css, const QByteArray &standards, QByteArray *table)
{
    QTemporaryDir dir;
    const auto write = [&](const QString &name, const QByteArray &data) {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
    };
    if (!write(QStringLiteral("css.json"), css) || !write(QStringLiteral("standards.json"), standards))
        return -1;
    QProcess tool;
    tool.start(QStringLiteral(SHEETSMITH_BUILD_DIR "/sheetsmith_cssdata"),
               {dir.filePath(QStringLiteral("css.json")), dir.filePath(QStringLiteral("standards.json")),
                QStringLiteral("made up 1.0"), dir.filePath(QStringLiteral("out.txt"))});
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit)
        return -1;
    QFile out(dir.filePath(QStringLiteral("out.txt")));
    *table = out.open(QIODevice::ReadOnly) ? out.readAll() : QByteArray();
    return tool.exitCode();
}

const QByteArray Header =
    QByteArray(CssDefinitions::FormatName) + ' ' + QByteArray::number(CssDefinitions::FormatVersion) + '\n';

} // namespace

void TestCssDefinitions::builtInDefines_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("definedAs");
    QTest::addColumn<QString>("syntax");  // the whole syntax, or "~" and a part of it
    QTest::addColumn<QString>("standardTitle"); // a part of it; empty: no standard known

    QTest::newRow("property") << "property" << "position" << "position"
                              << "~static | relative | absolute | sticky | fixed" << "Positioned Layout";
    QTest::newRow("shorthand property") << "property" << "background" << "background"
                                        << "~<final-bg-layer>" << "Backgrounds";
    QTest::newRow("legacy alias") << "property" << "-webkit-align-content" << "-webkit-align-content"
                                  << "~<overflow-position>? <content-position>" << "Compatibility";
    QTest::newRow("property of a standard not found by its page")
        << "property" << "fill" << "fill" << "~<paint>" << "";
    QTest::newRow("type") << "type" << "length-percentage" << "length-percentage"
                          << "[ <length> | <percentage> ]" << "Values and Units";
    QTest::newRow("type keeps its case") << "type" << "CDC-token" << "CDC-token" << "" << "Syntax";
    QTest::newRow("function") << "function" << "rgb" << "rgb" << "~<modern-rgb-syntax>" << "Color";
    QTest::newRow("function found in lower case")
        << "function" << "rotatex" << "rotateX" << "~rotateX(" << "Transforms";
    QTest::newRow("function defined twice: both alternatives")
        << "function" << "scale" << "scale"
        << "[ scale( [ <number> | <percentage> ]#{1,2} ) ] | [ scale( <number> , <number>? ) ]" << "Transforms";
    QTest::newRow("function defined three times, two alike")
        << "function" << "type" << "type" << "[ type( <syntax> ) ] | [ type( <string> ) ]" << "Mixins";
    QTest::newRow("function with no syntax anywhere")
        << "function" << "repeat" << "repeat" << "" << "Gap";
    QTest::newRow("at-rule")
        << "at-rule" << "media" << "media" << "~@media <media-query-list>" << "Conditional";
    QTest::newRow("pseudo-class") << "pseudo-class" << "hover" << "hover" << ":hover" << "Selectors";
    QTest::newRow("functional pseudo-class")
        << "pseudo-class" << "nth-child" << "nth-child" << "~:nth-child(" << "Selectors";
    QTest::newRow("pseudo-element")
        << "pseudo-element" << "marker" << "marker" << "::marker" << "Pseudo-Elements";
    QTest::newRow("CSS2 pseudo-element is also a pseudo-class")
        << "pseudo-class" << "first-line" << "first-line" << ":first-line" << "Cascading Style Sheets Level 2";
    QTest::newRow("CSS2 pseudo-element beside its own")
        << "pseudo-element" << "before" << "before" << "[ ::before ] | [ :before ]" << "Pseudo-Elements";
}

void TestCssDefinitions::builtInDefines()
{
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(QString, definedAs);
    QFETCH(QString, syntax);
    QFETCH(QString, standardTitle);

    const CssDefinitions &defs = CssDefinitions::builtIn();
    QVERIFY2(defs.error().isEmpty(), qPrintable(defs.error()));
    QVERIFY(defs.source().contains(u"@webref/css"));
    const CssDefinitions::Definition *d = lookUp(defs, kind, name);
    QVERIFY(d);
    QCOMPARE(d->name, definedAs);
    if (syntax.startsWith(u'~'))
        QVERIFY2(d->syntax.contains(syntax.mid(1)), qPrintable(d->syntax));
    else
        QCOMPARE(d->syntax, syntax);
    if (standardTitle.isEmpty())
        QCOMPARE(defs.standardTitle(*d), QString());
    else
        QVERIFY2(defs.standardTitle(*d).contains(standardTitle), qPrintable(defs.standardTitle(*d)));
}

void TestCssDefinitions::theBuildMakesTheTableByItsRules()
{
    const QByteArray css = json(
        "{'properties': ["
        "  {'name': 'align-items', 'href': 'https://ex.org/align/#p', 'syntax': 'normal | stretch'},"
        "  {'name': '-x-align-items', 'href': 'https://ex.org/compat/#a', 'legacyAliasOf': 'align-items'},"
        "  {'name': 'zoom', 'href': 'https://elsewhere.org/zoom.html#z', 'syntax': '<number>'}],"
        " 'types': [{'name': '<length>', 'href': 'https://ex.org/values/#l', 'syntax': '<dimension>'}],"
        " 'functions': ["
        "  {'name': 'scale()', 'href': 'https://ex.org/t1/#s', 'for': ['a']},"
        "  {'name': 'scale()', 'href': 'https://ex.org/t2/#s', 'syntax': 'scale( <number> )'},"
        "  {'name': 'scale()', 'href': 'https://ex.org/t1/#s2', 'syntax': 'scale(\\t<number>,\\n<number> )'},"
        "  {'name': 'scale()', 'href': 'https://ex.org/t1/#s3', 'syntax': 'scale( <number> )'}],"
        " 'atrules': [{'name': '@media', 'href': 'https://ex.org/values/#m', 'syntax': '@media { }'}],"
        " 'selectors': ["
        "  {'name': '::before', 'href': 'https://ex.org/pseudo/#b', 'syntax': '::before'},"
        "  {'name': ':before', 'href': 'https://ex.org/css2/#b', 'syntax': ':before'},"
        "  {'name': ':not()', 'href': 'https://ex.org/sel/#n'},"
        "  {'name': '>', 'href': 'https://ex.org/sel/#c'}]}");
    const QByteArray standards = json(
        "[{'title': 'Align', 'url': 'https://tr.ex.org/align/', 'nightly': {'url': 'https://ex.org/align/'}},"
        " {'title': 'Compat', 'url': 'https://tr.ex.org/compat/',"
        "  'nightly': {'url': 'https://ex.org/compat-draft/', 'alternateUrls': ['https://ex.org/compat/']}},"
        " {'title': 'Values', 'url': 'https://tr.ex.org/values/', 'release': {'url': 'https://ex.org/values/'},"
        "  'nightly': {'url': 'https://drafts.ex.org/values/'}},"
        " {'title': 'T1', 'url': 'https://ex.org/t1/'},"
        " {'title': 'T2', 'url': 'https://ex.org/t2/'},"
        " {'title': 'Pseudo', 'url': 'https://ex.org/pseudo/'},"
        " {'title': 'CSS2', 'url': 'https://ex.org/css2/'},"
        " {'title': 'Selectors', 'url': 'https://ex.org/sel/'}]");
    QByteArray table;
    QCOMPARE(runTool(css, standards, &table), 0);
    const CssDefinitions defs = CssDefinitions::fromData(table);
    QVERIFY2(defs.error().isEmpty(), qPrintable(defs.error()));
    QCOMPARE(defs.source(), QStringLiteral("made up 1.0"));

    const auto described = [&](const CssDefinitions::Definition *d) {
        return d ? d->name + u'|' + d->syntax + u'|' + defs.standardTitle(*d) : QStringLiteral("none");
    };
    QCOMPARE(described(defs.property(u"-x-align-items")), QStringLiteral("-x-align-items|normal | stretch|Compat"));
    QCOMPARE(described(defs.property(u"zoom")), QStringLiteral("zoom|<number>|"));
    QCOMPARE(described(defs.type(u"length")), QStringLiteral("length|<dimension>|Values"));
    // The standard of the first definition with a syntax; alike alternatives once.
    QCOMPARE(described(defs.function(u"scale")),
             QStringLiteral("scale|[ scale( <number> ) ] | [ scale( <number>, <number> ) ]|T2"));
    QCOMPARE(described(defs.atRule(u"media")), QStringLiteral("media|@media { }|Values"));
    QCOMPARE(described(defs.pseudoElement(u"before")), QStringLiteral("before|[ ::before ] | [ :before ]|Pseudo"));
    QCOMPARE(described(defs.pseudoClass(u"before")), QStringLiteral("before|:before|CSS2"));
    QCOMPARE(described(defs.pseudoClass(u"not")), QStringLiteral("not||Selectors"));
    QCOMPARE(described(defs.pseudoClass(u">")), QStringLiteral("none"));
    // Only the standards that define something, each with its editors' draft when it has one.
    QStringList listed;
    for (const CssDefinitions::Standard &standard : defs.standards())
        listed << standard.title + u' ' + standard.url;
    listed.sort();
    QCOMPARE(listed, QStringList({"Align https://ex.org/align/", "CSS2 https://ex.org/css2/",
                                  "Compat https://ex.org/compat-draft/", "Pseudo https://ex.org/pseudo/",
                                  "Selectors https://ex.org/sel/", "T2 https://ex.org/t2/",
                                  "Values https://drafts.ex.org/values/"}));
}

void TestCssDefinitions::theBuildRefusesDefinitionsItCannotRead()
{
    QByteArray table;
    QCOMPARE(runTool(json("{'properties': ["), "[]", &table), 1);
    QCOMPARE(table, QByteArray());
    QCOMPARE(runTool(json("{'properties': [{'href': 'https://ex.org/'}]}"), "[]", &table), 1);
    QCOMPARE(table, QByteArray());
    // Made, but a table the program would refuse: no property.
    QCOMPARE(runTool(json("{'properties': [], 'types': [], 'functions': [], 'atrules': [], 'selectors': []}"),
                     "[]", &table),
             1);
    QCOMPARE(table, QByteArray());
}

void TestCssDefinitions::aTableReadsAsWritten()
{
    const CssDefinitions defs = CssDefinitions::fromData(Header +
        "source\tmade up 1.0\n"
        "standard\tFirst Standard\thttps://example.org/first/\n"
        "standard\tSecond Standard\thttps://example.org/second/\n"
        "property\tcolor\t1\t<color>\n"
        "property\tzoom\t\t\n"
        "type\tImage-1D\t0\t<stripes()>\n"
        "function\trotateX\t0\trotateX( <angle> )\n"
        "at-rule\tmedia\t1\t@media { }\n"
        "pseudo-class\thover\t0\t:hover\n"
        "pseudo-element\tbefore\t0\t::before\n");
    QVERIFY2(defs.error().isEmpty(), qPrintable(defs.error()));
    QCOMPARE(defs.source(), QStringLiteral("made up 1.0"));
    QCOMPARE(defs.standards().size(), size_t(2));
    QCOMPARE(defs.standards()[1].url, QStringLiteral("https://example.org/second/"));

    const CssDefinitions::Definition *color = defs.property(u"color");
    QVERIFY(color);
    QCOMPARE(color->syntax, QStringLiteral("<color>"));
    QCOMPARE(defs.standardTitle(*color), QStringLiteral("Second Standard"));
    const CssDefinitions::Definition *zoom = defs.property(u"zoom");
    QVERIFY(zoom);
    QCOMPARE(zoom->standard, -1);
    QCOMPARE(zoom->syntax, QString());
    QCOMPARE(defs.standardTitle(*zoom), QString());

    QVERIFY(defs.type(u"Image-1D"));
    QVERIFY(!defs.type(u"image-1d"));
    QVERIFY(defs.function(u"rotatex"));
    QCOMPARE(defs.function(u"rotatex")->name, QStringLiteral("rotateX"));
    QVERIFY(defs.atRule(u"media"));
    QVERIFY(defs.pseudoClass(u"hover"));
    QVERIFY(defs.pseudoElement(u"before"));
    // Each kind is a table of its own.
    QVERIFY(!defs.pseudoClass(u"before"));
    QVERIFY(!defs.property(u"hover"));
}

void TestCssDefinitions::damagedDataIsRefused_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("message");

    const QByteArray standard = "standard\tA Standard\thttps://example.org/\n";
    const QByteArray property = "property\tcolor\t0\t<color>\n";
    QTest::newRow("empty") << QByteArray() << "empty";
    QTest::newRow("another format")
        << QByteArray("color\tred\n") + standard + property << "the first line is \"color\tred\"";
    QTest::newRow("another version of the format")
        << QByteArray(CssDefinitions::FormatName) + " 99\n" + standard + property << "version 99";
    QTest::newRow("cut short inside a line") << Header + standard + property.left(20) << "cut short";
    QTest::newRow("definition line short of a field")
        << Header + standard + "property\tcolor\t0\n" << "line 3: a property line needs 4";
    QTest::newRow("standard line with a field too many")
        << Header + "standard\tA\thttps://a/\tx\n" + property << "line 2: a standard line needs 3";
    QTest::newRow("unknown kind")
        << Header + standard + property + "descriptor\tsrc\t0\t<url>\n" << "line 4: unknown kind \"descriptor\"";
    QTest::newRow("empty line") << Header + standard + "\n" + property << "line 3: an empty line";
    QTest::newRow("standard index past the standards")
        << Header + standard + "property\tcolor\t1\t<color>\n" << "line 3: the standard \"1\"";
    QTest::newRow("standard index before its standard") << Header + property + standard << "line 2: the standard \"0\"";
    QTest::newRow("standard index not a number") << Header + standard + "property\tcolor\tx\t<color>\n" << "the standard \"x\"";
    QTest::newRow("standard index negative") << Header + standard + "property\tcolor\t-1\t<color>\n" << "the standard \"-1\"";
    QTest::newRow("definition without a name")
        << Header + standard + "type\t\t0\t<x>\n" + property << "line 3: a type without a name";
    QTest::newRow("name defined twice")
        << Header + standard + property + "property\tColor\t0\t<color>\n" << "line 4: a second property";
    QTest::newRow("not UTF-8") << Header + standard + "property\tcolor\t0\t\xff\n" << "not valid UTF-8";
    QTest::newRow("no property") << Header + standard + "type\tlength\t0\t<dimension>\n" << "no property";
}

void TestCssDefinitions::damagedDataIsRefused()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, message);

    const CssDefinitions defs = CssDefinitions::fromData(data);
    QVERIFY2(defs.error().contains(message), qPrintable(defs.error()));
    QVERIFY(defs.isEmpty());
    QVERIFY(defs.standards().empty());
    QVERIFY(!defs.property(u"color"));
    QVERIFY(!defs.type(u"length"));
}

QTEST_GUILESS_MAIN(TestCssDefinitions)
#include "tst_cssdefinitions.moc"
