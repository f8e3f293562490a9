#include "support/enginepreview.h"

#include <QApplication>

using namespace sheetsmith;

// The preview window with the real browser engine: a page loads and the sheet being
// edited styles it, and Refresh shows an edit. Slow (the engine starts a process of
// its own), so this is the one test that runs it.
class TestPreviewEngine : public QObject
{
    Q_OBJECT

private slots:
    void theSheetStylesThePageAndRefreshShowsAnEdit();
};

void TestPreviewEngine::theSheetStylesThePageAndRefreshShowsAnEdit()
{
    // The page's own style comes first; the inserted sheet wins over it.
    EnginePreview engine("<!DOCTYPE html>\n<html><HEAD><title>t</title>\n"
                         "<style>h1 { color: rgb(1, 2, 3) }</style>\n</HEAD>\n"
                         "<body><h1 id=\"t\">Title</h1></body></html>\n",
                         QStringLiteral("h1 {\r\n    color: #FF0000;\r\n}"), false);
    QVERIFY(engine.isValid());
    QCOMPARE(engine.view->objectName(), QStringLiteral("WebBrowser1"));
    QVERIFY(engine.showPage()); // the author picks the page
    QCOMPARE(engine.view->url().toLocalFile(), engine.page + QStringLiteral("prvw.htm"));
    QTRY_COMPARE_WITH_TIMEOUT(engine.colourOf("t"), QStringLiteral("rgb(255, 0, 0)"), 20000);

    // Not live: an edit shows after Refresh.
    engine.sheet = QStringLiteral("h1 { color: #00FF00; }");
    engine.loaded->clear();
    engine.preview->onToolbarButton(QStringLiteral("Refresh"));
    QTRY_VERIFY_WITH_TIMEOUT(!engine.loaded->isEmpty(), 30000);
    QTRY_COMPARE_WITH_TIMEOUT(engine.colourOf("t"), QStringLiteral("rgb(0, 255, 0)"), 20000);
    QVERIFY(engine.dialogs.messages().isEmpty());
}

int main(int argc, char *argv[])
{
    prepareBrowserEngine();
    QApplication app(argc, argv);
    TestPreviewEngine test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_previewengine.moc"
