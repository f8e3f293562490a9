#include "preview/livepreview.h"
#include "support/enginepreview.h"

#include <QApplication>
#include <QLabel>

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
};

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
    EnginePreview engine("<!DOCTYPE html>\n<html><head><title>t</title></head>\n"
                         "<body><h1 id=\"t\">Title</h1></body></html>\n",
                         QStringLiteral("h1 { color: #FF0000; }"), true);
    QVERIFY(engine.isValid());
    FrmPreview *preview = engine.preview;
    QVERIFY(preview->isLive());
    QVERIFY(engine.showPage());
    QTRY_COMPARE_WITH_TIMEOUT(engine.colourOf("t"), QStringLiteral("rgb(255, 0, 0)"), 20000);
    QVERIFY(preview->PreviewStatus()->isHidden());

    QSignalSpy stopped(&preview->live(), &LivePreview::pageStopped);
    engine.view->setUrl(QUrl(stop));
    QTRY_VERIFY_WITH_TIMEOUT(!stopped.isEmpty(), 30000);
    QVERIFY(preview->PreviewStatus()->isVisible());
    QVERIFY2(preview->PreviewStatus()->text().startsWith(QStringLiteral("The page stopped ") + reason),
             qPrintable(preview->PreviewStatus()->text()));

    // Brought back with the text of now, not the one the page was composed with.
    engine.sheet = QStringLiteral("h1 { color: #00FF00; }");
    engine.loaded->clear();
    if (byRefresh)
        preview->onToolbarButton(QStringLiteral("Refresh"));
    else
        preview->sheetChanged();
    QTRY_VERIFY_WITH_TIMEOUT(!engine.loaded->isEmpty() && engine.view->url().isLocalFile(), 30000);
    QVERIFY(preview->PreviewStatus()->isHidden());
    QTRY_COMPARE_WITH_TIMEOUT(engine.colourOf("t"), QStringLiteral("rgb(0, 255, 0)"), 20000);

    // Live again: an edit reaches the page without a load.
    const qsizetype loads = engine.loaded->size();
    engine.sheet = QStringLiteral("h1 { color: #0000FF; }");
    preview->sheetChanged();
    QTRY_COMPARE_WITH_TIMEOUT(engine.colourOf("t"), QStringLiteral("rgb(0, 0, 255)"), 10000);
    QCOMPARE(engine.loaded->size(), loads);
    QVERIFY(engine.dialogs.messages().isEmpty());
}

int main(int argc, char *argv[])
{
    prepareBrowserEngine();
    QApplication app(argc, argv);
    TestPreviewEngineCrash test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_previewengine_crash.moc"
