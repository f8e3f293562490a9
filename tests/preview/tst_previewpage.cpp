#include "preview/previewpage.h"
#include "support/files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace sheetsmith;

namespace {

const QByteArray Utf8Bom("\xEF\xBB\xBF");

} // namespace

class TestPreviewPage : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void insertsTheSheetAtTheFirstHeadEnd_data();
    void insertsTheSheetAtTheFirstHeadEnd();
    void copyPathAppendsToTheWholePath_data();
    void copyPathAppendsToTheWholePath();

    void copyKeepsThePagesEncodingUnlessTheSheetNeedsMore_data();
    void copyKeepsThePagesEncodingUnlessTheSheetNeedsMore();
    void failuresNameThePageAndKeepTheEarlierCopy_data();
    void failuresNameThePageAndKeepTheEarlierCopy();
    void aCopyThatCannotBeWrittenIsToldAndLeavesNoHalfPage();

    void listedPagesMatchByFileWhateverTheCase_data();
    void listedPagesMatchByFileWhateverTheCase();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestPreviewPage::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestPreviewPage::insertsTheSheetAtTheFirstHeadEnd_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("expected");

    const QString style = QStringLiteral("<style type=\"text/css\">\r\nb{}\r\n</style>\r\n</head>");
    QTest::newRow("lower case") << QStringLiteral("<head>\r\n</head>\r\n<body></body>\r\n") << QStringLiteral("b{}")
                                << QStringLiteral("<head>\r\n") + style + QStringLiteral("\r\n<body></body>\r\n");
    QTest::newRow("upper case tag written back in lower case")
        << QStringLiteral("<HEAD><TITLE>t</TITLE></HEAD><BODY>") << QStringLiteral("b{}")
        << QStringLiteral("<HEAD><TITLE>t</TITLE>") + style + QStringLiteral("<BODY>\r\n");
    QTest::newRow("mixed case") << QStringLiteral("</hEaD>") << QStringLiteral("b{}") << style + QStringLiteral("\r\n");
    QTest::newRow("only the first of two")
        << QStringLiteral("</head>\r\n</head>\r\n") << QStringLiteral("b{}")
        << style + QStringLiteral("\r\n</head>\r\n");
    QTest::newRow("no head end: unchanged, last line ended")
        << QStringLiteral("<p>no head</p>\r\n<p>x") << QStringLiteral("b{}")
        << QStringLiteral("<p>no head</p>\r\n<p>x\r\n");
    QTest::newRow("a near miss is no head end") << QStringLiteral("</head >\r\n</hea>") << QStringLiteral("b{}")
                                               << QStringLiteral("</head >\r\n</hea>\r\n");
    QTest::newRow("empty page has no lines") << QString() << QStringLiteral("b{}") << QString();
    QTest::newRow("empty sheet still gets its element")
        << QStringLiteral("</head>\r\n") << QString()
        << QStringLiteral("<style type=\"text/css\">\r\n\r\n</style>\r\n</head>\r\n");
    QTest::newRow("multi-line sheet kept as it is")
        << QStringLiteral("</head>") << QStringLiteral("a {\r\n  color: red;\r\n}")
        << QStringLiteral("<style type=\"text/css\">\r\na {\r\n  color: red;\r\n}\r\n</style>\r\n</head>\r\n");
    QTest::newRow("a head end inside the sheet is not searched again")
        << QStringLiteral("x</head>y") << QStringLiteral("/* </head> */")
        << QStringLiteral("x<style type=\"text/css\">\r\n/* </head> */\r\n</style>\r\n</head>y\r\n");
}

void TestPreviewPage::insertsTheSheetAtTheFirstHeadEnd()
{
    QFETCH(QString, page);
    QFETCH(QString, sheet);
    QFETCH(QString, expected);
    QCOMPARE(composePreviewText(page, sheet), expected);
}

void TestPreviewPage::copyPathAppendsToTheWholePath_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("copy");
    QTest::newRow("html") << QStringLiteral("/site/index.html") << QStringLiteral("/site/index.htmlprvw.htm");
    QTest::newRow("htm") << QStringLiteral("/site/a.htm") << QStringLiteral("/site/a.htmprvw.htm");
    QTest::newRow("no extension") << QStringLiteral("/site/page") << QStringLiteral("/site/pageprvw.htm");
    QTest::newRow("dotted folder") << QStringLiteral("/my.site/p.x.html") << QStringLiteral("/my.site/p.x.htmlprvw.htm");
}

void TestPreviewPage::copyPathAppendsToTheWholePath()
{
    QFETCH(QString, page);
    QFETCH(QString, copy);
    QCOMPARE(previewCopyPath(page), copy);
}

void TestPreviewPage::copyKeepsThePagesEncodingUnlessTheSheetNeedsMore_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QByteArray>("copy");

    QTest::newRow("ASCII page and sheet, LF breaks become CR LF")
        << QByteArray("<head>\n</head>\n") << QStringLiteral("p{}")
        << QByteArray("<head>\r\n<style type=\"text/css\">\r\np{}\r\n</style>\r\n</head>\r\n\r\n");
    QTest::newRow("UTF-8 page keeps its mark")
        << Utf8Bom + QByteArray("<p>\xC3\xA9</p></head>") << QStringLiteral("p{}")
        << Utf8Bom + QByteArray("<p>\xC3\xA9</p><style type=\"text/css\">\r\np{}\r\n</style>\r\n</head>\r\n\r\n");
    QTest::newRow("UTF-8 page gains a mark when the sheet brings non-ASCII")
        << QByteArray("<p>\xC3\xA9</p></head>") << QStringLiteral("p:before{content:\"\u2192\"}")
        << Utf8Bom
               + QByteArray("<p>\xC3\xA9</p><style type=\"text/css\">\r\np:before{content:\"\xE2\x86\x92\"}"
                            "\r\n</style>\r\n</head>\r\n\r\n");
    QTest::newRow("Windows-1252 page stays Windows-1252 when the sheet fits")
        << QByteArray("<p>\xE9\x80</p></head>") << QStringLiteral("p:before{content:\"\u00e9\"}")
        << QByteArray("<p>\xE9\x80</p><style type=\"text/css\">\r\np:before{content:\"\xE9\"}\r\n</style>\r\n"
                      "</head>\r\n\r\n");
    QTest::newRow("Windows-1252 page becomes UTF-8 with a mark for a character it cannot hold")
        << QByteArray("<p>\xE9\x80</p></head>") << QStringLiteral("p:before{content:\"\u2192\"}")
        << Utf8Bom
               + QByteArray("<p>\xC3\xA9\xE2\x82\xAC</p><style type=\"text/css\">\r\np:before{content:\""
                            "\xE2\x86\x92\"}\r\n</style>\r\n</head>\r\n\r\n");
}

void TestPreviewPage::copyKeepsThePagesEncodingUnlessTheSheetNeedsMore()
{
    QFETCH(QByteArray, page);
    QFETCH(QString, sheet);
    QFETCH(QByteArray, copy);
    const QString pagePath = m_dir->filePath(QStringLiteral("page.html"));
    QVERIFY(writeBytes(pagePath, page));
    const ComposeResult result = composePreviewFile(pagePath, sheet);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.copyPath, pagePath + QStringLiteral("prvw.htm"));
    QCOMPARE(readBytes(result.copyPath), copy);
    QCOMPARE(readBytes(pagePath), page);
}

void TestPreviewPage::failuresNameThePageAndKeepTheEarlierCopy_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no page chosen") << QString() << QStringLiteral("No preview page is chosen");
    QTest::newRow("missing page") << QStringLiteral("gone.html") << QStringLiteral("does not exist");
    QTest::newRow("a folder") << QStringLiteral("folder.html") << QStringLiteral("folder");
    QTest::newRow("not text") << QStringLiteral("binary.html") << QStringLiteral("not a text file");
}

void TestPreviewPage::failuresNameThePageAndKeepTheEarlierCopy()
{
    QFETCH(QString, page);
    QFETCH(QString, reason);
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder.html")));
    QVERIFY(writeBytes(m_dir->filePath(QStringLiteral("binary.html")), QByteArray("<p>\0</p>", 8)));
    const QString pagePath = page.isEmpty() ? QString() : m_dir->filePath(page);
    const QString earlier = pagePath + QStringLiteral("prvw.htm");
    if (!pagePath.isEmpty())
        QVERIFY(writeBytes(earlier, "earlier copy"));

    const ComposeResult result = composePreviewFile(pagePath, QStringLiteral("p{}"));
    QVERIFY(!result.ok);
    QVERIFY(result.copyPath.isEmpty());
    QVERIFY2(result.error.contains(reason), qPrintable(result.error));
    if (!pagePath.isEmpty()) {
        QVERIFY2(result.error.contains(pagePath), qPrintable(result.error));
        QCOMPARE(readBytes(earlier), QByteArray("earlier copy"));
    }
}

void TestPreviewPage::aCopyThatCannotBeWrittenIsToldAndLeavesNoHalfPage()
{
    // A folder where the copy belongs stops the write, whoever runs the test.
    const QString pagePath = m_dir->filePath(QStringLiteral("page.html"));
    QVERIFY(writeBytes(pagePath, "<head></head>"));
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("page.htmlprvw.htm")));
    ComposeResult result = composePreviewFile(pagePath, QStringLiteral("p{}"));
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(pagePath) && result.error.contains(QStringLiteral("folder")),
             qPrintable(result.error));
    QVERIFY(QFileInfo(pagePath + QStringLiteral("prvw.htm")).isDir());

    // A folder the program may not write into; root may write anywhere.
    if (::geteuid() == 0)
        return;
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("locked")));
    const QString lockedPage = m_dir->filePath(QStringLiteral("locked/page.html"));
    QVERIFY(writeBytes(lockedPage, "<head></head>"));
    QVERIFY(QFile::setPermissions(m_dir->filePath(QStringLiteral("locked")),
                                  QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    result = composePreviewFile(lockedPage, QStringLiteral("p{}"));
    QFile::setPermissions(m_dir->filePath(QStringLiteral("locked")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(lockedPage), qPrintable(result.error));
    QCOMPARE(QDir(m_dir->filePath(QStringLiteral("locked"))).entryList(QDir::Files),
             QStringList{QStringLiteral("page.html")});
}

void TestPreviewPage::listedPagesMatchByFileWhateverTheCase_data()
{
    // Files made before matching; "name->target" makes a link.
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("match");

    const QStringList ab{QStringLiteral("a.html"), QStringLiteral("b.html")};
    QTest::newRow("same spelling") << ab << ab << QStringLiteral("b.html") << 1;
    QTest::newRow("not listed") << ab << ab << QStringLiteral("c.html") << -1;
    QTest::newRow("other case, chosen file not on disk: the listed page")
        << ab << ab << QStringLiteral("B.HTML") << 1;
    QTest::newRow("other case, both files exist: two pages")
        << QStringList{QStringLiteral("a.html"), QStringLiteral("A.html")} << QStringList{QStringLiteral("a.html")}
        << QStringLiteral("A.html") << -1;
    QTest::newRow("other case, only the chosen file exists: a page of its own")
        << QStringList{QStringLiteral("Index.html")} << QStringList{QStringLiteral("index.html")}
        << QStringLiteral("Index.html") << -1;
    QTest::newRow("other case leading to the same file: the listed page")
        << QStringList{QStringLiteral("a.html"), QStringLiteral("A.html->a.html")} << QStringList{QStringLiteral("a.html")}
        << QStringLiteral("A.html") << 0;
    QTest::newRow("first of two matches") << ab << QStringList{QStringLiteral("A.HTML"), QStringLiteral("a.html")}
                                          << QStringLiteral("a.Html") << 0;
    QTest::newRow("empty list") << ab << QStringList() << QStringLiteral("a.html") << -1;
}

void TestPreviewPage::listedPagesMatchByFileWhateverTheCase()
{
    QFETCH(QStringList, existing);
    QFETCH(QStringList, listed);
    QFETCH(QString, chosen);
    QFETCH(int, match);
    for (const QString &name : existing) {
        const QStringList link = name.split(QStringLiteral("->"));
        if (link.size() == 2)
            QVERIFY(QFile::link(m_dir->filePath(link[1]), m_dir->filePath(link[0])));
        else
            QVERIFY(writeBytes(m_dir->filePath(name), name.toUtf8()));
    }
    QStringList pages;
    for (const QString &name : listed)
        pages << m_dir->filePath(name);
    QCOMPARE(findListedPage(pages, m_dir->filePath(chosen)), match);
}

QTEST_GUILESS_MAIN(TestPreviewPage)
#include "tst_previewpage.moc"
