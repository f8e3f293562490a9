#include "dialogs/scopeddialogseam.h"
#include "preview/browserpreview.h"
#include "preview/scopedlauncher.h"
#include "support/recordinglauncher.h"
#include "support/scripteddialogs.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace sheetsmith;

class TestBrowserPreview : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void anUnconfiguredBrowserIsToldAndNothingStarts_data();
    void anUnconfiguredBrowserIsToldAndNothingStarts();
    void theBrowserGetsTheCopyAsItsOneArgument_data();
    void theBrowserGetsTheCopyAsItsOneArgument();
    void aRealProgramReceivesBothPathsWhole();
    void ieLocationOpensTheDesktopsBrowser();
    void noComposedPageStartsNoBrowser();
    void aBrowserThatCannotStartIsToldByNameAndPath_data();
    void aBrowserThatCannotStartIsToldByNameAndPath();

private:
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<ScopedDialogSeam> m_seam;
    std::unique_ptr<RecordingLauncher> m_launcher;
    std::unique_ptr<ScopedLauncher> m_launcherScope;
    int m_composed = 0;
};

void TestBrowserPreview::init()
{
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_seam = std::make_unique<ScopedDialogSeam>(*m_dialogs);
    m_launcher = std::make_unique<RecordingLauncher>();
    m_launcherScope = std::make_unique<ScopedLauncher>(*m_launcher);
    m_composed = 0;
}

void TestBrowserPreview::cleanup()
{
    QVERIFY2(m_dialogs->unanswered().isEmpty(), qPrintable(m_dialogs->unanswered().join(u", ")));
    m_launcherScope.reset();
    m_launcher.reset();
    m_seam.reset();
    m_dialogs.reset();
}

void TestBrowserPreview::anUnconfiguredBrowserIsToldAndNothingStarts_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("one") << 1;
    QTest::newRow("two") << 2;
    QTest::newRow("ten") << 10;
}

void TestBrowserPreview::anUnconfiguredBrowserIsToldAndNothingStarts()
{
    QFETCH(int, index);
    m_dialogs->answerMessage(DialogSeam::Ok);
    PreviewWithBrowser(nullptr, index, BrowserEntry{}, [this] {
        ++m_composed;
        return QStringLiteral("/p.htmlprvw.htm");
    });
    QCOMPARE(m_dialogs->messages().size(), 1);
    QCOMPARE(m_dialogs->messages().first().text,
             QStringLiteral("You didn't configure browser %1 location.\r\n"
                            "To configure browsers locations click on Settings in the Tools menu.")
                 .arg(index));
    QCOMPARE(m_dialogs->messages().first().flags, 16);
    QCOMPARE(m_dialogs->messages().first().title, QStringLiteral("Sheetsmith"));
    QCOMPARE(m_composed, 0);
    QVERIFY(m_launcher->log().isEmpty());
}

void TestBrowserPreview::theBrowserGetsTheCopyAsItsOneArgument_data()
{
    QTest::addColumn<QString>("browser");
    QTest::addColumn<QString>("copy");
    QTest::newRow("plain") << QStringLiteral("/usr/bin/browser") << QStringLiteral("/site/a.htmlprvw.htm");
    QTest::newRow("blanks in both") << QStringLiteral("/opt/My Browser/run browser")
                                    << QStringLiteral("/home/me/My Site/index page.htmlprvw.htm");
    QTest::newRow("quotes in both") << QStringLiteral("/opt/\"quoted\" browser/b")
                                    << QStringLiteral("/home/me/it's \"here\"/p.htmlprvw.htm");
    QTest::newRow("other case of ieLocation is a program")
        << QStringLiteral("IELocation") << QStringLiteral("/site/a.htmlprvw.htm");
}

void TestBrowserPreview::theBrowserGetsTheCopyAsItsOneArgument()
{
    QFETCH(QString, browser);
    QFETCH(QString, copy);
    PreviewWithBrowser(nullptr, 3, BrowserEntry{QStringLiteral("Mine"), browser}, [&] {
        ++m_composed;
        return copy;
    });
    QCOMPARE(m_composed, 1);
    QCOMPARE(m_launcher->log(), QStringList{QStringLiteral("program ") + browser + u' ' + copy});
    QVERIFY(m_dialogs->messages().isEmpty());
}

void TestBrowserPreview::aRealProgramReceivesBothPathsWhole()
{
    // The desktop's own launcher starts a script that writes down what it was given.
    m_launcherScope.reset();
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("it's \"my\" browser")));
    const QString folder = dir.filePath(QStringLiteral("it's \"my\" browser"));
    const QString script = folder + QStringLiteral("/run it");
    QFile f(script);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" > \"$(dirname \"$0\")/args.tmp\"\n"
            "mv \"$(dirname \"$0\")/args.tmp\" \"$(dirname \"$0\")/args.txt\"\n");
    f.close();
    QVERIFY(f.setPermissions(f.permissions() | QFileDevice::ExeOwner));
    const QString copy = dir.filePath(QStringLiteral("My \"Site\"/index page.htmlprvw.htm"));
    PreviewWithBrowser(nullptr, 1, BrowserEntry{QStringLiteral("Script"), script}, [&] { return copy; });
    QVERIFY(m_dialogs->messages().isEmpty());
    QFile args(folder + QStringLiteral("/args.txt"));
    QTRY_VERIFY_WITH_TIMEOUT(args.exists(), 10000);
    QVERIFY(args.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(args.readAll()), QStringLiteral("1\n") + copy + u'\n');
}

void TestBrowserPreview::ieLocationOpensTheDesktopsBrowser()
{
    const QString copy = QStringLiteral("/home/me/My Site/a.htmlprvw.htm");
    PreviewWithBrowser(nullptr, 1, BrowserEntry{QStringLiteral("Default"), QStringLiteral("ieLocation")},
                       [&] { return copy; });
    QCOMPARE(m_launcher->urls(), QStringList{QUrl::fromLocalFile(copy).toString()});
    QVERIFY(m_dialogs->messages().isEmpty());

    // No default browser on the desktop: told, not passed over.
    m_launcher->setOpenUrlResult(false);
    m_dialogs->answerMessage(DialogSeam::Ok);
    PreviewWithBrowser(nullptr, 1, BrowserEntry{QStringLiteral("Default"), QStringLiteral("ieLocation")},
                       [&] { return copy; });
    QCOMPARE(m_dialogs->messages().size(), 1);
    QCOMPARE(m_dialogs->messages().first().flags, 16);
}

void TestBrowserPreview::noComposedPageStartsNoBrowser()
{
    PreviewWithBrowser(nullptr, 1, BrowserEntry{QStringLiteral("B"), QStringLiteral("/usr/bin/b")}, [this] {
        ++m_composed;
        return QString(); // the composition told the author why
    });
    QCOMPARE(m_composed, 1);
    QVERIFY(m_launcher->log().isEmpty());
    QVERIFY(m_dialogs->messages().isEmpty());
}

void TestBrowserPreview::aBrowserThatCannotStartIsToldByNameAndPath_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing file") << QStringLiteral("missing") << QStringLiteral("does not exist");
    QTest::newRow("not a program") << QStringLiteral("text") << QStringLiteral("not a program");
    QTest::newRow("a folder") << QStringLiteral("folder") << QStringLiteral("folder");
    QTest::newRow("unknown bare name") << QStringLiteral("bare") << QStringLiteral("no program of that name");
}

void TestBrowserPreview::aBrowserThatCannotStartIsToldByNameAndPath()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("my browser"));
    if (kind == QLatin1String("text")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a program");
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("my browser")));
    } else if (kind == QLatin1String("bare")) {
        path = QStringLiteral("no-such-browser-anywhere");
    }
    m_launcher->setStartProgramResult(false);
    m_dialogs->answerMessage(DialogSeam::Ok);
    PreviewWithBrowser(nullptr, 2, BrowserEntry{QStringLiteral("Nightly"), path},
                       [] { return QStringLiteral("/site/a.htmlprvw.htm"); });
    QCOMPARE(m_dialogs->messages().size(), 1);
    const QString text = m_dialogs->messages().first().text;
    QVERIFY2(text.contains(QStringLiteral("Nightly")) && text.contains(path) && text.contains(reason),
             qPrintable(text));
    QCOMPARE(m_dialogs->messages().first().flags, 16);
}

QTEST_MAIN(TestBrowserPreview)
#include "tst_browserpreview.moc"
