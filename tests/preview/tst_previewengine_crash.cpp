#include "dialogs/scopeddialogseam.h"
#include "preview/frmpreview.h"
#include "preview/livepreview.h"
#include "preview/pageview.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "support/scripteddialogs.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

using namespace sheetsmith;

// The page's process ends under the live preview (the engine's own addresses that end
// it on purpose stand in for a crash and for the system killing it): the preview says
// so, and an edit or Refresh brings the page back with the sheet as it is then, live
// again.
class TestPreviewEngineCrash : public QObject
{
    Q_OBJECT

private slots:
    void aStoppedPageComesBackWithTheCurrentSheet_data();
    void aStoppedPageComesBackWithTheCurrentSheet();

private:
    static QString evaluate(QWebEngineView *view, const QString &script);
};

QString TestPreviewEngineCrash::evaluate(QWebEngineView *view, const QString &script)
{
    QString result = QStringLiteral("<no answer>");
    bool answered = false;
    view->page()->runJavaScript(script, [&](const QVariant &value) {
        result = value.toString();
        answered = true;
    });
    if (!QTest::qWaitFor([&] { return answered; }, 20000))
        qWarning("the page did not answer");
    return result;
}

void TestPreviewEngineCrash::aStoppedPageComesBackWithTheCurrentSheet_data()
{
    QTest::addColumn<QString>("stop");   // the address that ends the page's process
    QTest::addColumn<QString>("reason"); // as the notice words it
    QTest::addColumn<bool>("byRefresh"); // brought back by Refresh, else by an edit
    QTest::newRow("a crash, then an edit") << "chrome://crash" << "(its process crashed)" << false;
    QTest::newRow("killed, then Refresh") << "chrome://kill" << "(its process was killed" << true;
}

void TestPreviewEngineCrash::aStoppedPageComesBackWithTheCurrentSheet()
{
    QFETCH(QString, stop);
    QFETCH(QString, reason);
    QFETCH(bool, byRefresh);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString page = dir.filePath(QStringLiteral("page.html"));
    {
        QFile f(page);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<!DOCTYPE html>\n<html><head><title>t</title></head>\n"
                "<body><h1 id=\"t\">Title</h1></body></html>\n");
    }
    SettingsStore settings(dir.filePath(QStringLiteral("settings.ini")));
    settings.write(keys::preview::Section, keys::preview::file(1), page);
    settings.write(keys::preview::Section, keys::preview::Live, QStringLiteral("1"));
    ScriptedDialogs dialogs;
    ScopedDialogSeam seam(dialogs);

    QString sheet = QStringLiteral("h1 { color: #FF0000; }");
    QWidget owner;
    auto *preview = new FrmPreview(settings, [&] { return sheet; }, FrmPreview::Pictures{}, &owner);
    auto *view = qobject_cast<QWebEngineView *>(preview->WebBrowser1()->widget());
    QVERIFY(view);
    QVERIFY(preview->isLive());
    preview->resize(800, 600);
    preview->show();
    QSignalSpy loaded(view, &QWebEngineView::loadFinished);
    preview->ComPath()->activated(0);
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty() && view->url().isLocalFile(), 30000);
    const auto colour = [&] {
        return evaluate(view, QStringLiteral("getComputedStyle(document.getElementById('t')).color"));
    };
    QTRY_COMPARE_WITH_TIMEOUT(colour(), QStringLiteral("rgb(255, 0, 0)"), 20000);
    QVERIFY(preview->PreviewStatus()->isHidden());

    QSignalSpy stopped(&preview->live(), &LivePreview::pageStopped);
    view->setUrl(QUrl(stop));
    QTRY_VERIFY_WITH_TIMEOUT(!stopped.isEmpty(), 30000);
    QVERIFY(preview->PreviewStatus()->isVisible());
    QVERIFY2(preview->PreviewStatus()->text().startsWith(QStringLiteral("The page stopped ") + reason),
             qPrintable(preview->PreviewStatus()->text()));

    // Brought back with the text of now, not the one the page was composed with.
    sheet = QStringLiteral("h1 { color: #00FF00; }");
    loaded.clear();
    if (byRefresh)
        preview->onToolbarButton(QStringLiteral("Refresh"));
    else
        preview->sheetChanged();
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty() && view->url().isLocalFile(), 30000);
    QVERIFY(preview->PreviewStatus()->isHidden());
    QTRY_COMPARE_WITH_TIMEOUT(colour(), QStringLiteral("rgb(0, 255, 0)"), 20000);

    // Live again: an edit reaches the page without a load.
    const qsizetype loads = loaded.size();
    sheet = QStringLiteral("h1 { color: #0000FF; }");
    preview->sheetChanged();
    QTRY_COMPARE_WITH_TIMEOUT(colour(), QStringLiteral("rgb(0, 0, 255)"), 10000);
    QCOMPARE(loaded.size(), loads);
    QVERIFY(dialogs.messages().isEmpty());
}

int main(int argc, char *argv[])
{
    prepareBrowserEngine();
    QApplication app(argc, argv);
    TestPreviewEngineCrash test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_previewengine_crash.moc"
