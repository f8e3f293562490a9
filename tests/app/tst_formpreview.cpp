#include "editor/richedit.h"
#include "preview/frmpreview.h"
#include "preview/scopedlauncher.h"
#include "settings/settingskeys.h"
#include "support/recordinglauncher.h"
#include "support/windowfixture.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTreeWidget>
#include <QTest>

using namespace sheetsmith;
namespace pk = sheetsmith::keys::preview;

// The main window's side of the preview: start-up and shut-down, the Show/Hide button,
// the two Test buttons and the browser entries of the Tools menu.
class TestFormPreview : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void startUpShowsThePreviewOnlyWhenShowIsOne_data();
    void startUpShowsThePreviewOnlyWhenShowIsOne();
    void hidingKeepsThePreviewLoadedAndStoresNothing();
    void exitClosesTheHiddenPreviewAndDeletesTheCopies();
    void testButtonsStartTheirBrowsersOnTheComposedPage();
    void toolsMenuEntriesStartTheirBrowsers();
    void testWithoutABrowserSaysWhichOne();
    void testWithoutAPageSaysToChooseOne();
    void aPickedElementLandsInsideItsWinningRule();

private:
    bool start(const std::function<void(SettingsStore &)> &configure = {});
    QAction *action(const QString &name) const;

    WindowFixture m_fixture;
};

void TestFormPreview::cleanup()
{
    QVERIFY2(m_fixture.tearDown(), qPrintable(m_fixture.problem()));
}

bool TestFormPreview::start(const std::function<void(SettingsStore &)> &configure)
{
    return m_fixture.setUp(configure);
}

QAction *TestFormPreview::action(const QString &name) const
{
    return m_fixture.window().findChild<QAction *>(name);
}

void TestFormPreview::startUpShowsThePreviewOnlyWhenShowIsOne_data()
{
    QTest::addColumn<QString>("show");
    QTest::addColumn<bool>("shown");
    QTest::newRow("1") << QStringLiteral("1") << true;
    QTest::newRow("0") << QStringLiteral("0") << false;
    QTest::newRow("missing") << QString() << false;
    QTest::newRow("blank before 1") << QStringLiteral(" 1") << false;
    QTest::newRow("true") << QStringLiteral("true") << false;
}

void TestFormPreview::startUpShowsThePreviewOnlyWhenShowIsOne()
{
    QFETCH(QString, show);
    QFETCH(bool, shown);
    QVERIFY2(start([&](SettingsStore &s) {
                 if (!show.isNull())
                     s.write(pk::Section, pk::Show, show);
             }),
             qPrintable(m_fixture.problem()));
    FrmPreview *preview = m_fixture.window().preview();
    QCOMPARE(preview != nullptr, shown);
    if (shown) {
        QVERIFY(preview->isVisible());
        QCOMPARE(preview->parentWidget(), &m_fixture.window());
        QVERIFY(preview->windowFlags() & Qt::Tool);
    }
}

void TestFormPreview::hidingKeepsThePreviewLoadedAndStoresNothing()
{
    QVERIFY2(start(), qPrintable(m_fixture.problem()));
    QAction *toggle = action(QStringLiteral("TbM_ShowPreview"));
    QVERIFY(toggle->isEnabled());
    QCOMPARE(toggle->toolTip(), QStringLiteral("Show/Hide preview window"));
    toggle->trigger();
    FrmPreview *preview = m_fixture.window().preview();
    QVERIFY(preview && preview->isVisible());
    QCOMPARE(m_fixture.settings().read(pk::Section, pk::Show), QStringLiteral("1"));

    toggle->trigger();
    QCOMPARE(m_fixture.window().preview(), preview);
    QVERIFY(!preview->isVisible());
    QCOMPARE(m_fixture.settings().read(pk::Section, pk::Show), QStringLiteral("1"));
    QVERIFY(!m_fixture.settings().contains(pk::Section, pk::Left));

    toggle->trigger();
    QCOMPARE(m_fixture.window().preview(), preview);
    QVERIFY(preview->isVisible());
}

void TestFormPreview::exitClosesTheHiddenPreviewAndDeletesTheCopies()
{
    QStringList copies;
    QVERIFY2(start([&](SettingsStore &s) {
                 // File3 is missing: the walk stops there, and File4's copy stays.
                 for (int n : {1, 2, 4}) {
                     const QString page = m_fixture.writeFile(QStringLiteral("p%1.html").arg(n), "<head></head>");
                     s.write(pk::Section, pk::file(n), page);
                     copies << page + QStringLiteral("prvw.htm");
                 }
             }),
             qPrintable(m_fixture.problem()));
    for (const QString &copy : copies)
        m_fixture.writeFile(QFileInfo(copy).fileName(), "old copy");
    action(QStringLiteral("TbM_ShowPreview"))->trigger();
    action(QStringLiteral("TbM_ShowPreview"))->trigger(); // hidden, still loaded
    QVERIFY(m_fixture.window().close());
    QTRY_VERIFY(!m_fixture.window().preview()); // closed windows are deleted later
    QCOMPARE(m_fixture.settings().read(pk::Section, pk::Show), QStringLiteral("0"));
    QVERIFY(m_fixture.settings().contains(pk::Section, pk::Left));
    QVERIFY(!QFile::exists(copies[0]));
    QVERIFY(!QFile::exists(copies[1]));
    QVERIFY(QFile::exists(copies[2]));
}

void TestFormPreview::testButtonsStartTheirBrowsersOnTheComposedPage()
{
    QString page;
    QVERIFY2(start([&](SettingsStore &s) {
                 page = m_fixture.writeFile(QStringLiteral("my page.html"), "<head></head><body></body>");
                 s.write(pk::Section, pk::file(1), page);
                 s.write(pk::Section, pk::browserName(1), QStringLiteral("One"));
                 s.write(pk::Section, pk::browserPath(1), QStringLiteral("/opt/one/browser"));
                 s.write(pk::Section, pk::browserName(2), QStringLiteral("Two"));
                 s.write(pk::Section, pk::browserPath(2), QStringLiteral("/opt/browser two/run"));
             }),
             qPrintable(m_fixture.problem()));
    RecordingLauncher launcher;
    ScopedLauncher scope(launcher);
    QVERIFY(m_fixture.open("h1 { color: teal }"));
    QVERIFY(action(QStringLiteral("TbM_Test2"))->isEnabled());
    action(QStringLiteral("TbM_Test2"))->trigger();
    const QString copy = page + QStringLiteral("prvw.htm");
    QCOMPARE(launcher.log(), QStringList{QStringLiteral("program /opt/browser two/run ") + copy});
    QFile composed(copy);
    QVERIFY(composed.open(QIODevice::ReadOnly));
    QVERIFY(composed.readAll().contains("h1 { color: teal }"));
    // Composing loads the preview window without showing it.
    QVERIFY(m_fixture.window().preview());
    QVERIFY(!m_fixture.window().preview()->isVisible());

    action(QStringLiteral("TbM_Test1"))->trigger();
    QCOMPARE(launcher.log().last(), QStringLiteral("program /opt/one/browser ") + copy);
}

void TestFormPreview::toolsMenuEntriesStartTheirBrowsers()
{
    QString page;
    QVERIFY2(start([&](SettingsStore &s) {
                 page = m_fixture.writeFile(QStringLiteral("a.html"), "<head></head>");
                 s.write(pk::Section, pk::file(1), page);
                 for (int n = 1; n <= 3; ++n) {
                     s.write(pk::Section, pk::browserName(n), QStringLiteral("B%1").arg(n));
                     s.write(pk::Section, pk::browserPath(n), QStringLiteral("/opt/b%1").arg(n));
                 }
             }),
             qPrintable(m_fixture.problem()));
    RecordingLauncher launcher;
    ScopedLauncher scope(launcher);
    QAction *third = action(QStringLiteral("mPreview3"));
    QVERIFY(third->isVisible() && third->isEnabled());
    third->trigger();
    QCOMPARE(launcher.log(), QStringList{QStringLiteral("program /opt/b3 ") + page + QStringLiteral("prvw.htm")});
}

void TestFormPreview::testWithoutABrowserSaysWhichOne()
{
    QVERIFY2(start(), qPrintable(m_fixture.problem()));
    RecordingLauncher launcher;
    ScopedLauncher scope(launcher);
    m_fixture.dialogs().answerMessage(DialogSeam::Ok);
    action(QStringLiteral("TbM_Test1"))->trigger();
    QCOMPARE(m_fixture.dialogs().messages().size(), 1);
    QVERIFY(m_fixture.dialogs().messages().first().text.startsWith(
        QStringLiteral("You didn't configure browser 1 location.\r\n")));
    QVERIFY(launcher.log().isEmpty());
    QVERIFY(!m_fixture.window().preview()); // nothing was composed
}

void TestFormPreview::testWithoutAPageSaysToChooseOne()
{
    QVERIFY2(start([](SettingsStore &s) {
                 s.write(pk::Section, pk::browserName(1), QStringLiteral("One"));
                 s.write(pk::Section, pk::browserPath(1), QStringLiteral("/opt/one"));
             }),
             qPrintable(m_fixture.problem()));
    RecordingLauncher launcher;
    ScopedLauncher scope(launcher);
    m_fixture.dialogs().answerMessage(DialogSeam::Ok);
    action(QStringLiteral("TbM_Test1"))->trigger();
    QCOMPARE(m_fixture.dialogs().messages().size(), 1);
    QVERIFY(m_fixture.dialogs().messages().first().text.contains(QStringLiteral("No preview page is chosen")));
    QVERIFY(launcher.log().isEmpty());
}

void TestFormPreview::aPickedElementLandsInsideItsWinningRule()
{
    QVERIFY2(start([](SettingsStore &s) {
                 s.write(pk::Section, pk::Show, QStringLiteral("1"));
                 s.write(pk::Section, pk::Live, QStringLiteral("1"));
             }),
             qPrintable(m_fixture.problem()));
    QVERIFY(m_fixture.open("p {\n  color: red;\n}\n.lead {\n  font-style: italic;\n}\n"));
    FrmPreview *preview = m_fixture.window().preview();
    QVERIFY(preview && preview->isLive());
    auto *status = m_fixture.window().findChild<QLabel *>(QStringLiteral("StBarPanel1"));
    action(QStringLiteral("Tb_Pick"))->trigger();

    // The element matches both rules: the class wins, and the caret lands inside its
    // block, where caret tracking shows its values.
    emit preview->elementPicked({0, 1});
    const QString &text = m_fixture.editor().model().text();
    QCOMPARE(m_fixture.editor().selStart(), text.indexOf(u"{", text.indexOf(u".lead")) + 1);
    QCOMPARE(status->text(), QStringLiteral("2 rules match this element at rest; the caret is in the one that wins"));
    auto *list = m_fixture.window().findChild<QTreeWidget *>(QStringLiteral("LstP"));
    QCOMPARE(list->findItems(QStringLiteral("font-style"), Qt::MatchExactly).first()->text(1),
             QStringLiteral("italic"));

    const qsizetype before = m_fixture.editor().selStart();
    emit preview->elementPicked({});
    QCOMPARE(m_fixture.editor().selStart(), before);
    QCOMPARE(status->text(), QStringLiteral("No rule of this sheet matches this element at rest"));
}

QTEST_MAIN(TestFormPreview)
#include "tst_formpreview.moc"
