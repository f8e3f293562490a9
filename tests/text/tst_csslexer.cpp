#include "text/csslexer.h"

#include <QTest>

using namespace sheetsmith;

namespace {

const char *typeName(CssTokenType type)
{
    static const char *const names[] = {"ident", "function", "at", "hash", "string", "url", "bad-url", "delim",
                                        "number", "percentage", "dimension", "ws", "comment", "CDO", "CDC", ":",
                                        ";", ",", "[", "]", "(", ")", "{", "}"};
    return names[int(type)];
}

// The tokens of a text, one word each: the type, then "=" and the decoded value where
// the type has one, "!" for an unclosed token, "#id" for a hash that makes an identifier.
QString listed(const QString &text)
{
    QStringList out;
    for (const CssToken &t : CssTokens(text)) {
        QString word = QLatin1String(typeName(t.type));
        switch (t.type) {
        case CssTokenType::Ident:
        case CssTokenType::Function:
        case CssTokenType::AtKeyword:
        case CssTokenType::String:
        case CssTokenType::Url:
        case CssTokenType::Delim:
            word += u'=' + CssTokenValue(text, t);
            break;
        case CssTokenType::Hash:
            word += u'=' + CssTokenValue(text, t) + (t.idLike ? QStringLiteral("#id") : QString());
            break;
        case CssTokenType::Number:
        case CssTokenType::Percentage:
            word += u'=' + QString::number(t.number) + (t.integer ? QString() : QStringLiteral("f"));
            break;
        case CssTokenType::Dimension:
            word += u'=' + QString::number(t.number) + CssTokenValue(text, t);
            break;
        default:
            break;
        }
        if (t.unclosed)
            word += u'!';
        out << word;
    }
    return out.join(u' ');
}

} // namespace

class TestCssLexer : public QObject
{
    Q_OBJECT

private slots:
    void tokens_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const char16_t *text, const char *expected) {
            QTest::newRow(name) << QString::fromUtf16(text) << QString::fromUtf8(expected);
        };
        row("declaration", u"color: red;", "ident=color : ws ident=red ;");
        row("rule", u"a{b:c}", "ident=a { ident=b : ident=c }");
        row("escaped ident", u"r\\000065d", "ident=red");
        row("escape takes six hex digits at most", u"r\\0065d", "ident=r\u065d");
        row("escape and its blank", u"r\\65 d", "ident=red");
        row("escaped punctuation", u"a\\:b", "ident=a:b");
        row("escape of a NUL", u"\\0 x", "ident=\uFFFDx");
        row("custom property", u"--main-bg", "ident=--main-bg");
        row("vendor ident", u"-webkit-box", "ident=-webkit-box");
        row("minus alone", u"- 1", "delim=- ws number=1");
        row("function", u"rgb(1,2)", "function=rgb number=1 , number=2 )");
        row("at-keyword", u"@media print", "at=media ws ident=print");
        row("at alone", u"@ x", "delim=@ ws ident=x");
        row("hash id", u"#main", "hash=main#id");
        row("hash digits", u"#0fa", "hash=0fa");
        row("hash alone", u"# a", "delim=# ws ident=a");
        row("numbers", u"1 -2 +.5 1e3 1.5e-2", "number=1 ws number=-2 ws number=0.5f ws number=1000f ws number=0.015f");
        row("e is a unit", u"1em 2e", "dimension=1em ws dimension=2e");
        row("percentage", u"50% -0%", "percentage=50 ws percentage=0");
        row("dimension with escape", u"1p\\78", "dimension=1px");
        row("dot then letter", u".a", "delim=. ident=a");
        row("string", u"'a\"b'", "string=a\"b");
        row("string escape", u"\"\\22x\"", "string=\"x");
        row("string continued over a line", u"\"a\\\r\nb\"", "string=ab");
        row("string cut by a line break", u"\"ab\ncd", "string=ab! ws ident=cd");
        row("string at the end", u"'ab", "string=ab!");
        row("string ending in a backslash at the end", u"'ab\\", "string=ab!");
        row("url", u"url( a.png )", "url=a.png");
        row("url in capitals", u"URL(x)", "url=x");
        row("url escape", u"url(a\\)b)", "url=a)b");
        row("url ending in an escaped backslash", u"url( a\\\\ )", "url=a\\");
        row("url with a string", u"url('a b')", "function=url string=a b )");
        row("url with a blank inside", u"url(a b) c", "bad-url ws ident=c");
        row("url with a quote", u"url(a\"b) x", "bad-url ws ident=x");
        row("url never closed", u"url(abc", "url=abc!");
        row("comment", u"a/* x */b", "ident=a comment ident=b");
        row("comment does not close itself", u"/*/ a */", "comment");
        row("comment never closed", u"/* a", "comment!");
        row("slash", u"a/b", "ident=a delim=/ ident=b");
        row("CDO and CDC", u"<!-- a -->", "CDO ws ident=a ws CDC");
        row("less than", u"<a", "delim=< ident=a");
        row("brackets", u"[x=\"y\"]", "[ ident=x delim== string=y ]");
        row("blanks of every kind", u" \t\r\n\f", "ws");
        row("non-ASCII name", u"caf\u00e9", "ident=caf\u00e9");
        row("backslash before a line break", u"\\\n", "delim=\\ ws");
        row("backslash at the end", u"a\\", "ident=a\uFFFD");
        row("important", u"!important", "delim=! ident=important");
    }
    void tokens()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(listed(text), expected);
    }

    // The tokens cover the text without gap or overlap, whatever it holds.
    void tokensCoverTheText()
    {
        const QString text = QStringLiteral("a{b:url(x y);c:\"d\ne}/*f*/@g h#\\\n-->+.5e+x \\");
        qsizetype at = 0;
        for (const CssToken &t : CssTokens(text)) {
            QCOMPARE(t.offset, at);
            QVERIFY(t.length > 0);
            at = t.end();
        }
        QCOMPARE(at, text.size());
    }

    void tokenIs_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("is");
        QTest::newRow("same") << "red" << "red" << true;
        QTest::newRow("case") << "RED" << "red" << true;
        QTest::newRow("escaped") << "r\\45 d" << "red" << true;
        QTest::newRow("prefix only") << "redder" << "red" << false;
        QTest::newRow("shorter") << "re" << "red" << false;
        QTest::newRow("function name") << "CALC(1)" << "calc" << true;
    }
    void tokenIs()
    {
        QFETCH(QString, text);
        QFETCH(QString, name);
        QFETCH(bool, is);
        const std::vector<CssToken> tokens = CssTokens(text);
        QVERIFY(!tokens.empty());
        QCOMPARE(CssTokenIs(text, tokens.front(), name.toLatin1().constData()), is);
    }

    void quotedSpans()
    {
        const QString text = QStringLiteral("a{content:\"/*\"} /* '{' */ b{x:url(c;d)} 'e");
        const CssQuotedSpans spans(text);
        const auto in = [&](const QString &part) { return spans.contains(text.indexOf(part)); };
        QVERIFY(in(QStringLiteral("/*\"")));     // a comment opener inside a string
        QVERIFY(!in(QStringLiteral("} /*")));    // the brace after that string
        QVERIFY(spans.inComment(text.indexOf(QStringLiteral("'{'"))));
        QVERIFY(!in(QStringLiteral("b{")));
        QVERIFY(in(QStringLiteral(";d)")));      // inside a url
        QVERIFY(in(QStringLiteral("'e")));       // a string never closed runs to the end
        QVERIFY(!spans.contains(0));
        QCOMPARE(spans.spans().size(), size_t(4));
        QVERIFY(spans.spans().back().unclosed);
    }
};

QTEST_APPLESS_MAIN(TestCssLexer)
#include "tst_csslexer.moc"
