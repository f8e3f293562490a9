#include "text/formatsheet.h"

#include "support/files.h"

#include <QTest>

using namespace sheetsmith;

namespace {

// Lines joined with CR LF, each ended by one.
QString lines(const QStringList &list)
{
    return list.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// The next unit of t read literally from at, empty at the end: a comment, a string or
// an escaped character as written, else one non-blank character. blankBefore tells
// whether blanks stood before it.
QStringView nextUnit(QStringView t, qsizetype &at, bool &blankBefore)
{
    const qsizetype start = at;
    while (at < t.size() && IsBlank(t[at]))
        ++at;
    blankBefore = at > start;
    const qsizetype from = at;
    const QChar c = at < t.size() ? t[at] : QChar();
    if (t.sliced(at).startsWith(u"/*")) {
        const qsizetype close = t.indexOf(u"*/", at + 2);
        at = close < 0 ? t.size() : close + 2;
    } else if (c == u'"' || c == u'\'') {
        for (++at; at < t.size() && t[at] != c; ++at)
            at += t[at] == u'\\' ? 1 : 0;
        at = std::min(at + 1, t.size());
    } else if (c == u'\\' && at + 1 < t.size() && !QStringView(u"\r\n").contains(t[at + 1])) {
        at += 2;
    } else {
        at = std::min(at + 1, t.size());
    }
    return t.sliced(from, at - from);
}

// Empty when formatted keeps every comment, string and escape of original as written
// and no two units that blanks separated have become neighbours, unless one of them is
// "{", "}", ";", ":" or ","; else what went wrong.
QString keptApart(const QString &original, const QString &formatted)
{
    const auto mayJoin = [](QStringView u) { return u.size() == 1 && QStringView(u"{};:,").contains(u[0]); };
    qsizetype at = 0, formattedAt = 0;
    bool blankBefore = false, formattedBlankBefore = false;
    QStringView previous;
    for (qsizetype count = 0;; ++count) {
        const QStringView unit = nextUnit(original, at, blankBefore);
        const QStringView formattedUnit = nextUnit(formatted, formattedAt, formattedBlankBefore);
        if (unit != formattedUnit)
            return QStringLiteral("unit %1: \"%2\" became \"%3\"").arg(count).arg(unit, formattedUnit);
        if (unit.isEmpty())
            return {};
        if (blankBefore && !formattedBlankBefore && count > 0 && !mayJoin(previous) && !mayJoin(unit))
            return QStringLiteral("unit %1: \"%2\" and \"%3\" joined").arg(count).arg(previous, unit);
        previous = unit;
    }
}

QString withoutBlanks(QString text)
{
    text.removeIf(IsBlank);
    return text;
}

} // namespace

class TestFormatSheet : public QObject
{
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void depthAt_data();
    void depthAt();
    void sampleSheets_data();
    void sampleSheets();
};

void TestFormatSheet::layout_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("tabWidth");
    QTest::addColumn<int>("startDepth");
    QTest::addColumn<QString>("expected");

    QTest::newRow("rule: blank runs and breaks (a lone LF too) made one, colon spaced")
        << "  h1 ,\r\n  h2   { color :red ; margin:\n0 }" << 4 << 0
        << lines({"h1 , h2 {", "    color: red;", "    margin: 0", "}"});
    QTest::newRow("minified rules, a blank line between")
        << "a{color:red;top:0}b:hover{x:y}" << 4 << 0
        << lines({"a {", "    color: red;", "    top: 0", "}", "", "b:hover {", "    x: y", "}"});
    QTest::newRow("nested rules indented per depth")
        << "@media screen{a{color:red}b{}}" << 2 << 0
        << lines({"@media screen {", "  a {", "    color: red", "  }", "  b {", "  }", "}"});
    QTest::newRow("at-rule statements keep their colons")
        << "@import url(a.css) (min-width:1px);@charset \"x\";\r\n\r\n\r\na{}" << 4 << 0
        << lines({"@import url(a.css) (min-width:1px);", "", "@charset \"x\";", "", "a {", "}"});
    QTest::newRow("only the first colon is spaced")
        << "a{filter:progid:X;b : c:d}" << 4 << 0
        << lines({"a {", "    filter: progid:X;", "    b: c:d", "}"});
    QTest::newRow("comment after something stays on its line")
        << "a{ /* x */ color:red; /* y */\r\n} /* z */" << 4 << 0
        << lines({"a { /* x */", "    color: red; /* y */", "} /* z */"});
    QTest::newRow("comment on its own line keeps it, before its rule")
        << "a{}\r\n\r\n/* one */\r\n\r\n/* two */ b{\r\n/* three */color:red}" << 4 << 0
        << lines({"a {", "}", "", "/* one */", "/* two */", "b {", "    /* three */", "    color: red", "}"});
    QTest::newRow("comment inside a selector or value stays there, unchanged")
        << "a /* s\r\n  t */ , b{color:/*v*/red /* w */;}" << 4 << 0
        << lines({"a /* s\r\n  t */ , b {", "    color: /*v*/red /* w */;", "}"});
    QTest::newRow("strings and parentheses hold ; { }")
        << "a{content:\"x; {}  \\\" }\";background:url(a;b{}) ;c:rgb(1,  2)}" << 4 << 0
        << lines({"a {", "    content: \"x; {}  \\\" }\";", "    background: url(a;b{});",
                  "    c: rgb(1, 2)", "}"});
    QTest::newRow("escapes: a brace is no brace, a blank before the colon is kept")
        << "a\\{b{c\\ :d}" << 4 << 0 << lines({"a\\{b {", "    c\\ : d", "}"});
    QTest::newRow("line break after a backslash is kept, else it would be escaped")
        << "a\\\r\n  b{}" << 4 << 0 << lines({"a\\\r\n b {", "}"});
    QTest::newRow("backslash at the end gets no break after it")
        << "a{}\\" << 4 << 0 << "a {\r\n}\r\n\r\n\\";
    QTest::newRow("empty declaration joins the ; above")
        << "a{x:y;\r\n ;\r\n;}" << 4 << 0 << lines({"a {", "    x: y;;;", "}"});
    QTest::newRow("missing } leaves the block open")
        << "a{b{x:y" << 4 << 0 << lines({"a {", "    b {", "        x: y"});
    QTest::newRow("stray } on its own line at depth 0")
        << "a{}}x:y}b{}" << 4 << 0 << lines({"a {", "}", "", "}", "", "x:y", "", "}", "", "b {", "}"});
    QTest::newRow("unclosed comment runs to the end as written")
        << "a{}/* open\r\n  x  " << 4 << 0 << "a {\r\n} /* open\r\n  x  ";
    QTest::newRow("unclosed string runs to the end as written")
        << "a{content:'x;}\r\n" << 4 << 0 << "a {\r\n    content: 'x;}\r\n";
    QTest::newRow("start depth: } closes an outer block")
        << "color:red;}a{}" << 4 << 1 << lines({"    color: red;", "}", "", "a {", "}"});
    QTest::newRow("blanks only") << " \r\n\t \r\n" << 4 << 0 << "";
}

void TestFormatSheet::layout()
{
    QFETCH(QString, text);
    QFETCH(int, tabWidth);
    QFETCH(int, startDepth);
    QFETCH(QString, expected);
    QCOMPARE(FormatSheet(text, tabWidth, startDepth), expected);
    QCOMPARE(FormatSheet(expected, tabWidth, startDepth), expected);
}

void TestFormatSheet::depthAt_data()
{
    QTest::addColumn<QString>("marked");
    QTest::addColumn<int>("expected");

    QTest::newRow("inside a nested block") << "@media x { a { |color: red } }" << 2;
    QTest::newRow("braces in comments, strings and parentheses")
        << "a { /* { */ b: \"{\" url({); | }" << 1;
    QTest::newRow("closed blocks and stray } count nothing") << "} a { } } b { |" << 1;
    QTest::newRow("offset inside a comment") << "a { /* x | */" << 1;
}

void TestFormatSheet::depthAt()
{
    QFETCH(QString, marked);
    QFETCH(int, expected);
    const qsizetype at = marked.indexOf(u'|');
    const QString text = QString(marked).remove(at, 1);
    QCOMPARE(FormatDepthAt(text, at), expected);
    QCOMPARE(FormatDepthAt(text, text.size() + 10), FormatDepthAt(text, text.size()));
}

void TestFormatSheet::sampleSheets_data()
{
    addCorpusRows();
}

void TestFormatSheet::sampleSheets()
{
    QFETCH(QString, path);
    const QString text = editorText(path);
    QVERIFY(!text.isEmpty());
    const QString formatted = FormatSheet(text, 4);
    QCOMPARE(withoutBlanks(formatted), withoutBlanks(text));
    QCOMPARE(FormatSheet(formatted, 4), formatted);
    const QString fault = keptApart(text, formatted);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

QTEST_APPLESS_MAIN(TestFormatSheet)
#include "tst_formatsheet.moc"
