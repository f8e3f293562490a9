#include "preview/pagenames.h"

#include <QTemporaryDir>
#include <QTest>

using namespace sheetsmith;

// The names a page uses, as completion offers them.
class TestPageNames : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void merge();
    void unreadableFiles();
};

namespace {

// "name=count" pairs of a hash, sorted, for comparing.
QString described(const QHash<QString, int> &names)
{
    QStringList out;
    for (auto it = names.cbegin(); it != names.cend(); ++it)
        out << QStringLiteral("%1=%2").arg(it.key()).arg(it.value());
    out.sort();
    return out.join(u' ');
}

} // namespace

void TestPageNames::parse_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("elements"); // "none": not HTML
    QTest::addColumn<QString>("classes");
    QTest::addColumn<QString>("ids");
    QTest::newRow("a whole page") << QByteArray("<!DOCTYPE html><html><head><title>t</title></head>"
                                                "<body><p class=a>x</p><p class='a b'></p></body></html>")
                                  << "body=1 head=1 html=1 p=2 title=1" << "a=2 b=1" << "";
    QTest::newRow("the parser supplies html and body") << QByteArray("<p id=x>")
                                                       << "body=1 html=1 p=1" << "" << "x=1";
    QTest::newRow("a class twice on one element counts once")
        << QByteArray("<div class=\" card\tcard\ncol \"></div><div class=card>") << "body=1 div=2 html=1"
        << "card=2 col=1" << "";
    QTest::newRow("element names fold, classes and ids do not")
        << QByteArray("<DIV CLASS=Card ID=Top></DIV><div class=card id=top>") << "body=1 div=2 html=1"
        << "Card=1 card=1" << "Top=1 top=1";
    QTest::newRow("the same id twice shows as twice") << QByteArray("<b id=n></b><i id=n></i><i id=''>")
                                                      << "b=1 body=1 html=1 i=2" << "" << "n=2";
    QTest::newRow("references decoded") << QByteArray("<a class=\"x&amp;y caf&eacute;\">")
                                        << "a=1 body=1 html=1" << QString::fromUtf8("caf\u00e9=1 x&y=1") << "";
    QTest::newRow("malformed markup recovered")
        << QByteArray("<ul><li class=i>one<li class=i>two</div></span><p class=\"open") << "body=1 html=1 li=2 p=1 ul=1"
        << "i=2 open=1" << "";
    QTest::newRow("names in a comment or a script are not elements")
        << QByteArray("<!-- <em class=c> --><script>document.write('<em class=d>')</script><hr>")
        << "body=1 head=1 hr=1 html=1 script=1" << "" << "";
    QTest::newRow("text without markup") << QByteArray("just words") << "none" << "" << "";
    QTest::newRow("empty") << QByteArray() << "none" << "" << "";
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0<", 11) << "none" << "" << "";
}

void TestPageNames::parse()
{
    QFETCH(QByteArray, page);
    QFETCH(QString, elements);
    QFETCH(QString, classes);
    QFETCH(QString, ids);
    const std::optional<PageNames> names = ParsePageNames(page);
    if (elements == u"none") {
        QVERIFY(!names);
        return;
    }
    QVERIFY(names);
    QCOMPARE(described(names->elements), elements);
    QCOMPARE(described(names->classes), classes);
    QCOMPARE(described(names->ids), ids);
}

void TestPageNames::merge()
{
    PageNames index;
    index.classes = {{"card", 14}, {"nav", 2}, {"b", 3}};
    PageNames about;
    about.classes = {{"nav", 1}, {"a", 3}};
    const QList<NameUse> merged =
        MergePageNames({{QStringLiteral("index.html"), &index}, {QStringLiteral("about.html"), &about}}, NameKind::Class);
    QStringList labels;
    for (const NameUse &use : merged)
        labels << NameUseLabel(use);
    // Most used first, a tie by name; a name used in both pages counts both.
    QCOMPARE(labels, (QStringList{QStringLiteral("card \u2014 14 in index.html"), QStringLiteral("a \u2014 3 in about.html"),
                                  QStringLiteral("b \u2014 3 in index.html"), QStringLiteral("nav \u2014 3 in 2 pages")}));
    QVERIFY(MergePageNames({{QStringLiteral("index.html"), &index}}, NameKind::Id).isEmpty());
}

void TestPageNames::unreadableFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const PageReading missing = ReadPageFile(dir.filePath(QStringLiteral("gone.html")));
    QVERIFY(!missing.names);
    QVERIFY2(missing.problem.contains(u"gone.html"), qPrintable(missing.problem));
    const PageReading folder = ReadPageFile(dir.path());
    QVERIFY(!folder.names);
    QVERIFY(!folder.problem.isEmpty());
}

QTEST_APPLESS_MAIN(TestPageNames)
#include "tst_pagenames.moc"
