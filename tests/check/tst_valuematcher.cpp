#include "check/valuematcher.h"

#include "check/cssdefinitions.h"

#include <QTest>

using namespace sheetsmith;

Q_DECLARE_METATYPE(ValueMatcher::Verdict)

namespace {

// A few types of the kind the definitions give, so that the combinators and the
// multipliers are tried apart from the real grammars.
SyntaxSource smallSource()
{
    static const QHash<QString, QString> types{
        {QStringLiteral("length-percentage"), QStringLiteral("[ <length> | <percentage> ]")},
        {QStringLiteral("colour"), QStringLiteral("red | blue | <hex-color> | <rgb()>")},
        {QStringLiteral("prose"), QString()},
    };
    static const QHash<QString, QString> functions{
        {QStringLiteral("rgb"), QStringLiteral("rgb( <number>#{3} ) | rgb( <number>{3} [ / <number> ]? )")},
    };
    static const QHash<QString, QString> properties{
        {QStringLiteral("width"), QStringLiteral("auto | <length-percentage [0,\u221e]>")},
    };
    SyntaxSource source;
    source.type = [](QStringView name) { return types.value(name.toString()); };
    source.function = [](QStringView name) { return functions.value(name.toString()); };
    source.property = [](QStringView name) { return properties.value(name.toString()); };
    return source;
}

} // namespace

// The matcher of the CSS value definition syntax: each combinator and multiplier on
// values that fit and values that do not, and the cases it must not judge.
class TestValueMatcher : public QObject
{
    Q_OBJECT

private slots:
    void grammars_data()
    {
        QTest::addColumn<QString>("syntax");
        QTest::addColumn<QString>("value");
        QTest::addColumn<ValueMatcher::Verdict>("verdict");
        using V = ValueMatcher::Verdict;
        const auto row = [](const char *name, const char16_t *syntax, const char *value, V verdict) {
            QTest::newRow(name) << QString::fromUtf16(syntax) << QString::fromUtf8(value) << verdict;
        };
        row("keyword", u"auto | none", "AUTO", V::Valid);
        row("keyword, escaped", u"auto | none", "n\\6f ne", V::Valid);
        row("other keyword", u"auto | none", "inherits", V::Invalid);
        row("css-wide keyword", u"auto", "revert-layer", V::Valid);
        row("juxtaposition in order", u"a b c", "a b c", V::Valid);
        row("juxtaposition out of order", u"a b c", "a c b", V::Invalid);
        row("all of, any order", u"a && b && c", "c a b", V::Valid);
        row("all of, one missing", u"a && b && c", "c a", V::Invalid);
        row("any of, some", u"a || b || c", "c a", V::Valid);
        row("any of, twice", u"a || b || c", "a a", V::Invalid);
        row("any of, none", u"a || b || c", "", V::Invalid);
        row("precedence", u"a b | c && d || e", "d c e", V::Valid);
        row("star, none", u"a x*", "a", V::Valid);
        row("plus, none", u"a x+", "a", V::Invalid);
        row("plus, many", u"a x+", "a x x x", V::Valid);
        row("question", u"a x? b", "a b", V::Valid);
        row("count exact", u"x{2}", "x x x", V::Invalid);
        row("count range", u"x{1,3}", "x x x", V::Valid);
        row("count open", u"x{2,}", "x x x x x", V::Valid);
        row("hash list", u"<length>#", "1px, 2px,3em", V::Valid);
        row("hash list, no comma", u"<length>#", "1px 2px", V::Invalid);
        row("hash list, trailing comma", u"<length>#", "1px,", V::Invalid);
        row("hash count", u"<length>#{2}", "1px, 2px, 3px", V::Invalid);
        row("required group", u"[ a? b? ]!", "", V::Invalid);
        row("required group, one", u"[ a? b? ]!", "b", V::Valid);
        row("nested groups", u"[ [ a | b ] c ]+", "a c b c", V::Valid);
        row("literal slash", u"<length> [ / <length> ]?", "1px/2px", V::Valid);
        row("slash missing its second", u"<length> [ / <length> ]?", "1px /", V::Invalid);
        row("comma left out before omitted", u"<length>? , <length>", "1px", V::Valid);
        row("comma kept", u"<length>? , <length>", "1px, 2px", V::Valid);
        row("function", u"rgb( <number>#{3} )", "RGB(1, 2, 3)", V::Valid);
        row("function, wrong arguments", u"rgb( <number>#{3} )", "rgb(1, 2)", V::Invalid);
        row("function reference", u"<colour>", "rgb(1 2 3 / 0.5)", V::Valid);
        row("property reference", u"<'width'> | none", "50%", V::Valid);
        row("range", u"<'width'>", "-1px", V::Invalid);
        row("range on a number", u"<number [0,1]>", "1.5", V::Invalid);
        row("range in a unit", u"<angle [-90deg,90deg]>", "45deg", V::Valid);
        row("range, another unit", u"<angle [-90deg,90deg]>", "2rad", V::Valid);
        row("integer", u"<integer>", "2.5", V::Invalid);
        row("length units", u"<length>+", "1px 2em 3rem 4vh 5Q 0", V::Valid);
        row("not a length", u"<length>", "5", V::Invalid);
        row("math function as a length", u"<length>", "calc(100% - 2px)", V::Valid);
        row("hex colours", u"<hex-color>+", "#abc #abcd #aabbcc #aabbccdd", V::Valid);
        row("bad hex colour", u"<hex-color>", "#abcde", V::Invalid);
        row("string", u"<string>", "'a'", V::Valid);
        row("url", u"<url>", "url(a.png)", V::Valid);
        row("url function", u"<url>", "url('a.png')", V::Valid);
        row("custom ident", u"<custom-ident>", "inherit x", V::Invalid);
        row("square brackets", u"'[' <custom-ident>* ']'", "[a b]", V::Valid);
        row("block", u"( <number> )", "(1)", V::Valid);
        row("type in prose only", u"<prose> | a", "b", V::Unknown);
        row("prose type not needed", u"a | <prose>", "a", V::Valid);
        row("var() is not judged", u"<length>", "var(--x) 3", V::Unknown);
        row("env() deep inside", u"<length>", "calc(env(safe-area-inset-top) + 1px)", V::Unknown);
        row("unclosed function", u"<length>", "calc(1px", V::Unknown);
        row("grammar not readable", u"[ a", "a", V::Unknown);
    }
    void grammars()
    {
        QFETCH(QString, syntax);
        QFETCH(QString, value);
        QFETCH(ValueMatcher::Verdict, verdict);
        ValueMatcher matcher(smallSource());
        QCOMPARE(matcher.matchSyntax(syntax, value), verdict);
    }

    // How a grammar is read: precedence, multipliers on multipliers, and what is refused.
    void reading_data()
    {
        QTest::addColumn<QString>("syntax");
        QTest::addColumn<QString>("read");
        QTest::newRow("precedence") << "a b | c && d || e" << "[ [ a b ] | [ [ c && d ] || e ] ]";
        QTest::newRow("a multiplier on a list") << "x#+ y#{2}" << "[ x#+ y#{2,2} ]";
        QTest::newRow("a count on a list") << "[ x# ]{2}" << "[ x# ]{2,2}";
        QTest::newRow("function and range") << "rgb( <number [0,255]>{3} )" << "rgb( <number [0,255]>{3,3} )";
        QTest::newRow("bracket not closed") << "[ a | b" << "";
        QTest::newRow("multiplier with nothing before") << "| *" << "";
    }
    void reading()
    {
        QFETCH(QString, syntax);
        QFETCH(QString, read);
        const ValueSyntax parsed = ParseValueSyntax(syntax);
        QCOMPARE(DescribeValueSyntax(parsed), read);
        QCOMPARE(parsed.isValid(), !read.isEmpty());
        if (parsed.isValid())
            QCOMPARE(DescribeValueSyntax(ParseValueSyntax(read)), read);
    }

    // Real grammars of current CSS, as the program's definitions give them.
    void realProperties_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("valid");
        const auto row = [](const char *property, const char *value, bool valid) {
            QTest::addRow("%s: %s", property, value) << QString::fromLatin1(property) << QString::fromUtf8(value) << valid;
        };
        row("background", "url(a.png) no-repeat center / cover, linear-gradient(to right, red 10%, #fff0)", true);
        row("background", "red, url(a.png)", false); // the colour belongs to the last layer only
        row("background", "center / 50% auto fixed padding-box #eee", true);
        row("font", "italic small-caps bold condensed 16px/2 'Helvetica Neue', sans-serif", true);
        row("font", "bold", false);
        row("font", "12px/1.5", false);
        row("grid-template-areas", "'head head' 'side main'", true);
        row("grid-template-areas", "head main", false);
        row("grid-template-columns", "repeat(auto-fill, minmax(10rem, 1fr)) [end]", true);
        row("transition", "opacity .3s ease-in-out, transform 200ms cubic-bezier(.4, 0, .2, 1) 1s", true);
        row("transition", "opacity 3", false);
        row("box-shadow", "0 0 0 .2rem rgba(0, 0, 0, .25), inset 0 1px 2px #000", true);
        row("box-shadow", "1px", false);
        row("transform", "translate(-50%, -50%) rotate(45deg) scale(1.2)", true);
        row("transform", "rotate(45)", false);
        row("color", "rgb(0 0 0 / 50%)", true);
        row("color", "hsl(1 2 3 4)", false);
        row("border", "1px solid color-mix(in srgb, red 40%, blue)", true);
        row("border", "1px solid red blue", false);
        row("flex", "1 1 0%", true);
        row("flex", "1 1 1 1", false);
        row("margin", "0 auto -1px 2em", true);
        row("padding", "-1px", false);
        row("animation", "spin 1s linear infinite both", true);
        row("z-index", "1.5", false);
        row("aspect-ratio", "16 / 9", true);
    }
    void realProperties()
    {
        QFETCH(QString, property);
        QFETCH(QString, value);
        QFETCH(bool, valid);
        const CssDefinitions &d = CssDefinitions::builtIn();
        QVERIFY2(!d.isEmpty(), qPrintable(d.error()));
        const auto syntax = [](const CssDefinitions::Definition *definition) {
            return definition ? definition->syntax : QString();
        };
        SyntaxSource source;
        source.property = [&](QStringView name) { return syntax(d.property(name)); };
        source.type = [&](QStringView name) { return syntax(d.type(name)); };
        source.function = [&](QStringView name) { return syntax(d.function(name)); };
        ValueMatcher matcher(source);
        QCOMPARE(matcher.matchProperty(property, value, 0, value.size()),
                 valid ? ValueMatcher::Verdict::Valid : ValueMatcher::Verdict::Invalid);
    }

    // A value nested a thousand deep, or tens of thousands long, is not judged, and
    // costs no more than reading it.
    void hugeValuesAreNotJudged()
    {
        ValueMatcher matcher(smallSource());
        const QString deep = QStringLiteral("calc(").repeated(1000) + QStringLiteral("1px") + QStringLiteral(")").repeated(1000);
        QCOMPARE(matcher.matchSyntax(u"<length>", deep), ValueMatcher::Verdict::Unknown);
        const QString wide = QStringLiteral("1px, ").repeated(20000) + QStringLiteral("1px");
        QCOMPARE(matcher.matchSyntax(u"<length>#", wide), ValueMatcher::Verdict::Unknown);
    }
};

QTEST_APPLESS_MAIN(TestValueMatcher)
#include "tst_valuematcher.moc"
