#include "dialogs/scopeddialogseam.h"
#include "preview/frmpreview.h"
#include "preview/pageview.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "support/files.h"
#include "support/recordingpageview.h"
#include "support/scripteddialogs.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QWidgetAction>

#include <memory>

using namespace sheetsmith;
namespace pk = sheetsmith::keys::preview;

namespace {

const QString Blank = QStringLiteral("about:blank");

} // namespace

class TestFrmPreview : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openingListsStoredPagesUpToTheFirstGap();
    void openingListsAtMostThirtyPages();
    void openingComposesTheFirstPageThenShowsABlankPage();
    void openingWithNoPagesSelectsNothing();

    void pickingAPageComposesTheSheetAsItIsNow();
    void theViewKeepsItsPageUntilRefresh();
    void aPageThatCannotBeComposedIsToldAndTheViewKeepsItsPage_data();
    void aPageThatCannotBeComposedIsToldAndTheViewKeepsItsPage();
    void composingForABrowserLeavesTheViewAlone();

    void browseCancelledChangesNothing();
    void browseAddsANewPageAndStoresItUnderItsPosition();
    void browseToAListedPageSelectsItAndStoresNothing();
    void browseAfterThirtyPagesStoresUnderTheListPosition();

    void theToggleCollapsesAndExpands();
    void theViewFollowsTheWindowOnlyWhenItIsHighEnough();
    void closingStoresThePlacementAndTheNextOpeningRestoresIt();
    void closingWhileCollapsedReopensCollapsed();
    void unusableStoredPlacementKeepsTheDesignedSize_data();
    void unusableStoredPlacementKeepsTheDesignedSize();
    void everyControlHasAnAccessibleName();
    void aMissingEngineModuleLeavesANoticeInPlaceOfThePage();

private:
    FrmPreview *open();
    RecordingPageView *view() const;
    QString page(const QString &name, const QByteArray &bytes = "<head>\n</head>\n<body></body>\n");

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<ScopedDialogSeam> m_seam;
    std::unique_ptr<RecordingPageViews> m_views;
    std::unique_ptr<QWidget> m_owner;
    QPointer<FrmPreview> m_preview;
    QString m_sheet = QStringLiteral("p { color: red; }");
};

void TestFrmPreview::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_settings = std::make_unique<SettingsStore>(m_dir->filePath(QStringLiteral("settings.ini")));
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_seam = std::make_unique<ScopedDialogSeam>(*m_dialogs);
    m_views = std::make_unique<RecordingPageViews>();
    m_owner = std::make_unique<QWidget>();
    m_sheet = QStringLiteral("p { color: red; }");
}

void TestFrmPreview::cleanup()
{
    QVERIFY2(m_dialogs->unanswered().isEmpty(), qPrintable(m_dialogs->unanswered().join(u", ")));
    QCOMPARE(m_dialogs->pendingAnswers(), 0);
    m_owner.reset(); // deletes an open preview window with it
    m_views.reset();
    m_seam.reset();
    m_dialogs.reset();
    m_settings.reset();
    m_dir.reset();
}

FrmPreview *TestFrmPreview::open()
{
    const FrmPreview::Pictures pictures{QIcon(), QIcon(), QIcon(), QIcon()};
    m_preview = new FrmPreview(*m_settings, [this] { return m_sheet; }, pictures, m_owner.get());
    return m_preview;
}

RecordingPageView *TestFrmPreview::view() const
{
    return dynamic_cast<RecordingPageView *>(m_preview->WebBrowser1());
}

QString TestFrmPreview::page(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir->filePath(name);
    return writeBytes(path, bytes) ? path : QString();
}

void TestFrmPreview::openingListsStoredPagesUpToTheFirstGap()
{
    m_settings->write(pk::Section, pk::file(1), page(QStringLiteral("one.html")));
    m_settings->write(pk::Section, pk::file(2), page(QStringLiteral("two.html")));
    m_settings->write(pk::Section, pk::file(4), page(QStringLiteral("four.html")));
    open();
    QCOMPARE(m_preview->ComPath()->count(), 2);
    QCOMPARE(m_preview->ComPath()->itemText(0), m_dir->filePath(QStringLiteral("one.html")));
    QCOMPARE(m_preview->ComPath()->itemText(1), m_dir->filePath(QStringLiteral("two.html")));
    QCOMPARE(m_preview->ComPath()->currentIndex(), 0);
    QCOMPARE(m_settings->read(pk::Section, pk::Show), QStringLiteral("1"));
    QVERIFY(!m_preview->isVisible()); // loading does not show
}

void TestFrmPreview::openingListsAtMostThirtyPages()
{
    const QString shared = page(QStringLiteral("p.html"));
    for (int n = 1; n <= 32; ++n)
        m_settings->write(pk::Section, pk::file(n), shared + QString::number(n));
    QVERIFY(writeBytes(shared + QStringLiteral("1"), "<head></head>"));
    open();
    QCOMPARE(m_preview->ComPath()->count(), 30);
    QCOMPARE(m_preview->ComPath()->itemText(29), shared + QStringLiteral("30"));
}

void TestFrmPreview::openingComposesTheFirstPageThenShowsABlankPage()
{
    const QString first = page(QStringLiteral("first.html"));
    m_settings->write(pk::Section, pk::file(1), first);
    open();
    QCOMPARE(view()->addresses(), (QStringList{first + QStringLiteral("prvw.htm"), Blank}));
    QVERIFY(readBytes(first + QStringLiteral("prvw.htm")).contains("p { color: red; }"));
    QCOMPARE(m_preview->previewPath(), first + QStringLiteral("prvw.htm"));
}

void TestFrmPreview::openingWithNoPagesSelectsNothing()
{
    open();
    QCOMPARE(m_preview->ComPath()->count(), 0);
    QCOMPARE(m_preview->ComPath()->currentIndex(), -1);
    QCOMPARE(view()->addresses(), QStringList{Blank});
    QVERIFY(m_dialogs->messages().isEmpty());
}

void TestFrmPreview::pickingAPageComposesTheSheetAsItIsNow()
{
    m_settings->write(pk::Section, pk::file(1), page(QStringLiteral("a.html")));
    const QString b = page(QStringLiteral("b.html"));
    m_settings->write(pk::Section, pk::file(2), b);
    open();
    m_sheet = QStringLiteral("h1 { color: blue; }");
    QSignalSpy activated(m_preview->ComPath(), &QComboBox::activated);
    m_preview->show();
    m_preview->ComPath()->setFocus();
    QTest::keyClick(m_preview->ComPath(), Qt::Key_Down); // the author picks the next page
    QCOMPARE(activated.count(), 1);
    QCOMPARE(view()->lastAddress(), b + QStringLiteral("prvw.htm"));
    QCOMPARE(readBytes(b + QStringLiteral("prvw.htm")),
             QByteArray("<head>\r\n<style type=\"text/css\">\r\nh1 { color: blue; }\r\n</style>\r\n</head>\r\n"
                        "<body></body>\r\n\r\n"));
}

void TestFrmPreview::theViewKeepsItsPageUntilRefresh()
{
    const QString a = page(QStringLiteral("a.html"));
    m_settings->write(pk::Section, pk::file(1), a);
    open();
    m_preview->onToolbarButton(QStringLiteral("Refresh"));
    const QStringList before = view()->addresses();
    m_sheet = QStringLiteral("p { color: green; }");
    QCOMPARE(view()->addresses(), before);
    QVERIFY(readBytes(a + QStringLiteral("prvw.htm")).contains("red"));

    m_preview->findChild<QAction *>(QStringLiteral("Tb_Refresh"))->trigger();
    QCOMPARE(view()->addresses().size(), before.size() + 1);
    QCOMPARE(view()->lastAddress(), a + QStringLiteral("prvw.htm"));
    QVERIFY(readBytes(a + QStringLiteral("prvw.htm")).contains("green"));
}

void TestFrmPreview::aPageThatCannotBeComposedIsToldAndTheViewKeepsItsPage_data()
{
    QTest::addColumn<QString>("damage"); // what happens to the listed page after opening
    QTest::addColumn<QString>("reason");
    QTest::newRow("page deleted") << QStringLiteral("delete") << QStringLiteral("does not exist");
    QTest::newRow("copy blocked by a folder") << QStringLiteral("folder") << QStringLiteral("folder");
}

void TestFrmPreview::aPageThatCannotBeComposedIsToldAndTheViewKeepsItsPage()
{
    QFETCH(QString, damage);
    QFETCH(QString, reason);
    const QString a = page(QStringLiteral("a.html"));
    m_settings->write(pk::Section, pk::file(1), a);
    open();
    m_preview->onToolbarButton(QStringLiteral("Refresh"));
    const QStringList before = view()->addresses();
    QVERIFY(QFile::remove(a + QStringLiteral("prvw.htm")));
    if (damage == QLatin1String("delete"))
        QVERIFY(QFile::remove(a));
    else
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("a.htmlprvw.htm")));

    m_dialogs->answerMessage(DialogSeam::Ok);
    m_preview->onToolbarButton(QStringLiteral("Refresh"));
    QCOMPARE(m_dialogs->messages().size(), 1);
    const ScriptedDialogs::Message message = m_dialogs->messages().first();
    QCOMPARE(message.flags, int(DialogSeam::Critical));
    QVERIFY2(message.text.contains(a) && message.text.contains(reason), qPrintable(message.text));
    QCOMPARE(view()->addresses(), before);
    QCOMPARE(m_preview->ComPath()->count(), 1);
}

void TestFrmPreview::composingForABrowserLeavesTheViewAlone()
{
    const QString a = page(QStringLiteral("a.html"));
    m_settings->write(pk::Section, pk::file(1), a);
    open();
    const QStringList before = view()->addresses();
    QCOMPARE(m_preview->ComposePreviewPage(false), a + QStringLiteral("prvw.htm"));
    QCOMPARE(view()->addresses(), before);
    QCOMPARE(m_preview->ComposePreviewPage(true), QString());
    QCOMPARE(view()->lastAddress(), a + QStringLiteral("prvw.htm"));
}

void TestFrmPreview::browseCancelledChangesNothing()
{
    m_settings->write(pk::Section, pk::file(1), page(QStringLiteral("a.html")));
    open();
    const QStringList before = view()->addresses();
    m_dialogs->cancelFile();
    m_preview->findChild<QAction *>(QStringLiteral("Tb_Browse"))->trigger();
    QCOMPARE(m_dialogs->fileCalls().size(), 1);
    const FileDialogRequest &request = m_dialogs->fileCalls().first().request;
    QCOMPARE(request.owner, m_preview.data());
    QCOMPARE(request.flags, 4);
    QCOMPARE(request.nameFilters, (QStringList{QStringLiteral("Html Files (*.htm *.html)"),
                                               QStringLiteral("All Files (*.*) (*)")}));
    QCOMPARE(m_preview->ComPath()->count(), 1);
    QCOMPARE(view()->addresses(), before);
    QVERIFY(!m_settings->contains(pk::Section, pk::file(2)));
}

void TestFrmPreview::browseAddsANewPageAndStoresItUnderItsPosition()
{
    m_settings->write(pk::Section, pk::file(1), page(QStringLiteral("a.html")));
    m_settings->write(pk::Section, pk::file(2), page(QStringLiteral("b.html")));
    open();
    const QString c = page(QStringLiteral("c.html"));
    m_dialogs->answerFile(c);
    m_preview->onToolbarButton(QStringLiteral("Browse"));
    QCOMPARE(m_preview->ComPath()->count(), 3);
    QCOMPARE(m_preview->ComPath()->currentIndex(), 2);
    QCOMPARE(m_settings->read(pk::Section, pk::file(3)), c);
    QCOMPARE(view()->lastAddress(), c + QStringLiteral("prvw.htm"));
    QVERIFY(readBytes(c + QStringLiteral("prvw.htm")).contains("p { color: red; }"));
}

void TestFrmPreview::browseToAListedPageSelectsItAndStoresNothing()
{
    const QString a = page(QStringLiteral("a.html"));
    const QString b = page(QStringLiteral("b.html"));
    m_settings->write(pk::Section, pk::file(1), a);
    m_settings->write(pk::Section, pk::file(2), b);
    open();
    m_preview->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_preview));
    m_preview->activateWindow();
    const QString settingsBefore = QString::fromUtf8(readBytes(m_settings->fileName()));
    // The same page as listed, spelled in another case (no such second file exists).
    m_dialogs->answerFile(m_dir->filePath(QStringLiteral("B.HTML")));
    m_preview->onToolbarButton(QStringLiteral("Browse"));
    QCOMPARE(m_preview->ComPath()->count(), 2);
    QCOMPARE(m_preview->ComPath()->currentIndex(), 1);
    QTRY_VERIFY(m_preview->ComPath()->hasFocus());
    QCOMPARE(QString::fromUtf8(readBytes(m_settings->fileName())), settingsBefore);
    QCOMPARE(view()->lastAddress(), b + QStringLiteral("prvw.htm")); // still composed anew
}

void TestFrmPreview::browseAfterThirtyPagesStoresUnderTheListPosition()
{
    for (int n = 1; n <= 31; ++n)
        m_settings->write(pk::Section, pk::file(n), m_dir->filePath(QStringLiteral("p%1.html").arg(n)));
    m_dialogs->answerMessage(DialogSeam::Ok); // p1.html does not exist
    open();
    const QString extra = page(QStringLiteral("extra.html"));
    m_dialogs->answerFile(extra);
    m_preview->onToolbarButton(QStringLiteral("Browse"));
    QCOMPARE(m_preview->ComPath()->count(), 31);
    QCOMPARE(m_settings->read(pk::Section, pk::file(31)), extra);
}

void TestFrmPreview::theToggleCollapsesAndExpands()
{
    open();
    QAction *toggle = m_preview->toggleAction();
    QCOMPARE(toggle->toolTip(), QStringLiteral("Minimize window"));
    QVERIFY(!m_preview->isCollapsed());
    toggle->trigger();
    QVERIFY(m_preview->isCollapsed());
    QVERIFY(toggle->isChecked());
    QCOMPARE(m_preview->heightTwips(), 800.0f);
    QVERIFY(m_preview->height() >= m_preview->Tb()->sizeHint().height());
    toggle->trigger();
    QVERIFY(!m_preview->isCollapsed());
    QVERIFY(!toggle->isChecked());
    QCOMPARE(m_preview->heightTwips(), 5000.0f);
}

void TestFrmPreview::theViewFollowsTheWindowOnlyWhenItIsHighEnough()
{
    open();
    m_preview->show();
    const int dx = m_preview->logicalDpiX();
    const int dy = m_preview->logicalDpiY();
    m_preview->resize(twipsToPx(7000, dx), twipsToPx(6000, dy));
    QWidget *v = m_preview->WebBrowser1()->widget();
    // The margins are taken from the outer window, frame included.
    const QSize outer = m_preview->frameGeometry().size();
    QCOMPARE(v->geometry(), QRect(twipsToPx(120, dx), twipsToPx(480, dy),
                                  twipsToPx(outer.width() * 1440.0f / dx - 400, dx),
                                  twipsToPx(outer.height() * 1440.0f / dy - 1000, dy)));
    const QRect expanded = v->geometry();
    m_preview->toggleAction()->trigger(); // collapsed: 800 high, below the 1000 limit
    QCOMPARE(v->geometry(), expanded);
    m_preview->resize(twipsToPx(9000, dx), m_preview->height());
    QCOMPARE(v->geometry(), expanded);
}

void TestFrmPreview::closingStoresThePlacementAndTheNextOpeningRestoresIt()
{
    m_settings->write(pk::Section, pk::Left, QStringLiteral("1500"));
    m_settings->write(pk::Section, pk::Top, QStringLiteral("1200"));
    m_settings->write(pk::Section, pk::Width, QStringLiteral("7200"));
    m_settings->write(pk::Section, pk::Height, QStringLiteral("6000"));
    m_settings->write(pk::Section, pk::State, QStringLiteral("Max"));
    open();
    QCOMPARE(m_preview->widthTwips(), 7200.0f);
    QCOMPARE(m_preview->heightTwips(), 6000.0f);
    QVERIFY(m_preview->close());
    QTRY_VERIFY(!m_preview); // closing unloads
    QCOMPARE(m_settings->read(pk::Section, pk::Left), QStringLiteral("1500"));
    QCOMPARE(m_settings->read(pk::Section, pk::Top), QStringLiteral("1200"));
    QCOMPARE(m_settings->read(pk::Section, pk::Width), QStringLiteral("7200"));
    QCOMPARE(m_settings->read(pk::Section, pk::Height), QStringLiteral("6000"));
    QCOMPARE(m_settings->read(pk::Section, pk::State), QStringLiteral("Max"));
    QCOMPARE(m_settings->read(pk::Section, pk::Show), QStringLiteral("0"));
}

void TestFrmPreview::closingWhileCollapsedReopensCollapsed()
{
    open();
    m_preview->toggleAction()->trigger();
    QVERIFY(m_preview->close());
    QCOMPARE(m_settings->read(pk::Section, pk::State), QStringLiteral("Min"));
    QCOMPARE(m_settings->read(pk::Section, pk::Height), QStringLiteral("800"));

    open();
    QVERIFY(m_preview->isCollapsed());
    QVERIFY(m_preview->toggleAction()->isChecked());
    QCOMPARE(m_preview->heightTwips(), 800.0f);
    m_preview->toggleAction()->trigger();
    QCOMPARE(m_preview->heightTwips(), 5000.0f);
    QVERIFY(m_preview->close());
    QCOMPARE(m_settings->read(pk::Section, pk::State), QStringLiteral("Max"));
}

void TestFrmPreview::unusableStoredPlacementKeepsTheDesignedSize_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("state");
    QTest::newRow("missing") << QString() << QString() << QString();
    QTest::newRow("not numbers") << QStringLiteral("wide") << QStringLiteral("tall") << QStringLiteral("Max");
    QTest::newRow("unknown state") << QStringLiteral("x") << QStringLiteral("9000") << QStringLiteral("Tall");
    QTest::newRow("far too narrow") << QStringLiteral("10") << QString() << QString();
}

void TestFrmPreview::unusableStoredPlacementKeepsTheDesignedSize()
{
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QString, state);
    m_settings->write(pk::Section, pk::Width, width);
    m_settings->write(pk::Section, pk::Height, height);
    m_settings->write(pk::Section, pk::State, state);
    open();
    QCOMPARE(m_preview->size(), QSize(twipsToPx(5655, m_preview->logicalDpiX()),
                                      twipsToPx(3900, m_preview->logicalDpiY())));
    QVERIFY(!m_preview->isCollapsed());
}

void TestFrmPreview::everyControlHasAnAccessibleName()
{
    open();
    QCOMPARE(m_preview->windowTitle(), QStringLiteral("Preview"));
    QVERIFY(!m_preview->ComPath()->accessibleName().isEmpty());
    QVERIFY(!m_preview->WebBrowser1()->widget()->accessibleName().isEmpty());
    for (QAction *action : m_preview->Tb()->actions()) {
        if (!action->isSeparator() && !qobject_cast<QWidgetAction *>(action))
            QVERIFY2(!action->text().isEmpty(), qPrintable(action->objectName()));
    }
}

void TestFrmPreview::aMissingEngineModuleLeavesANoticeInPlaceOfThePage()
{
    const QString missing = m_dir->filePath(QStringLiteral("no-engine.so"));
    QWidget parent;
    PageView *view = PageView::createFromModule(missing, &parent);
    QVERIFY(view);
    QCOMPARE(view->widget()->parent(), &parent);
    auto *notice = qobject_cast<QLabel *>(view->widget());
    QVERIFY(notice);
    QVERIFY2(notice->text().contains(missing), qPrintable(notice->text()));
    view->navigate(QUrl(QStringLiteral("about:blank"))); // harmless
}

QTEST_MAIN(TestFrmPreview)
#include "tst_frmpreview.moc"
