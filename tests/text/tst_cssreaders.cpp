#include "support/markedtext.h"
#include "text/commentmarkers.h"
#include "text/completion.h"
#include "text/formatsheet.h"
#include "text/selectorrules.h"
#include "text/sheetchunks.h"

#include <QTest>

using namespace sheetsmith;

// The readers built on the CSS tokenizer, where reading as CSS does decides the answer:
// a string ends at its line's end, a url holds its "/*" and ")" in quotes, a hex
// escape takes the blank after it.
class TestCssReaders : public QObject
{
    Q_OBJECT

private slots:
    void formats_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("the line break after a string cut short stays")
            << "a{content:\"x\n  ;b:c}" << "a {\r\n    content: \"x\n;\r\n    b: c\r\n}\r\n";
        QTest::newRow("before a } that break is the new line's")
            << "a{content:\"x\n}" << "a {\r\n    content: \"x\r\n}\r\n";
        QTest::newRow("/* in an unquoted url opens no comment")
            << "a{b:url(x/*y)}c{}" << "a {\r\n    b: url(x/*y)\r\n}\r\n\r\nc {\r\n}\r\n";
        QTest::newRow("a blank after a hex escape is the escape's") << ".\\31{}" << ".\\31 {\r\n}\r\n";
        QTest::newRow("a line break takes the place of an escape's blank")
            << "a{b:c\\41 }" << "a {\r\n    b: c\\41\r\n}\r\n";
    }
    void formats()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(FormatSheet(text, 4), expected);
        QCOMPARE(FormatSheet(expected, 4), expected);
    }

    void depthAfterACutString() { QCOMPARE(FormatDepthAt(u"a{b:\"{\n}", 8), 0); }

    void chunks_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QStringList>("pieces");
        QTest::newRow("a lone CR ends a string")
            << "a{content:\"x\r}b{}" << QStringList{"a{content:\"x\r}", "b{}"};
        QTest::newRow("a ) in a url's string") << "a{b:url(\"x)y\")}c{}" << QStringList{"a{b:url(\"x)y\")}", "c{}"};
    }
    void chunks()
    {
        QFETCH(QString, sheet);
        QFETCH(QStringList, pieces);
        QCOMPARE(SplitSheetChunks(sheet, 1), pieces);
    }

    void completion_data()
    {
        QTest::addColumn<QString>("marked");
        QTest::addColumn<bool>("offered");
        QTest::newRow("a } in a string") << "p { content: \"}\"; co|" << true;
        QTest::newRow("a /* in a url, the caret's line after it") << "a { b: url(x/*y);\n co|" << true;
        QTest::newRow("a comment over the line before") << "/* {\n*/ p {\n co|" << true;
        QTest::newRow("in a string continued over a line break") << "p { content: \"a\\\n; co|\"" << false;
        QTest::newRow("in a string whose hex escape takes the line break")
            << "p { content: \"a\\41\n} p { co|" << false;
        QTest::newRow("in a url over a line break") << "p { b: url(\n; co|" << false;
        QTest::newRow("in a function's name") << "p { transform: scale|(2) }" << false;
    }
    void completion()
    {
        QFETCH(QString, marked);
        QFETCH(bool, offered);
        const MarkedText t = parseMarked(marked);
        const CompletionContext c = CompletionContextAt(t.text, FindCommentMarkers(t.text), t.selStart);
        QCOMPARE(c.kind == CompletionContext::Property, offered);
    }

    void selectorsReadCommentsAsComments()
    {
        QCOMPARE(SplitSelectorGroup(u"h1 /* , */ p"), QStringList{"h1 /* , */ p"});
        QCOMPARE(SelectorSpecificity(u"p /* .x */"), (Specificity{0, 0, 1}));
    }
};

QTEST_APPLESS_MAIN(TestCssReaders)
#include "tst_cssreaders.moc"
