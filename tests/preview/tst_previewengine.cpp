#include "dialogs/scopeddialogseam.h"
#include "preview/frmpreview.h"
#include "preview/pageview.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "support/scripteddialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

using namespace sheetsmith;

// The preview window with the real browser engine: a page loads and the sheet being
// edited styles it, and Refresh shows an edit. Slow (the engine starts a process of
// its own), so this is the one test that runs it.
class TestPreviewEngine : public QObject
{
    Q_OBJECT

private slots:
    void theSheetStylesThePageAndRefreshShowsAnEdit();

private:
    static QString evaluate(QWebEngineView *view, const QString &script);
};

QString TestPreviewEngine::evaluate(QWebEngineView *view, const QString &script)
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

void TestPreviewEngine::theSheetStylesThePageAndRefreshShowsAnEdit()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString page = dir.filePath(QStringLiteral("page.html"));
    {
        QFile f(page);
        QVERIFY(f.open(QIODevice::WriteOnly));
        // The page's own style comes first; the inserted sheet wins over it.
        f.write("<!DOCTYPE html>\n<html><HEAD><title>t</title>\n"
                "<style>h1 { color: rgb(1, 2, 3) }</style>\n</HEAD>\n"
                "<body><h1 id=\"t\">Title</h1></body></html>\n");
    }
    SettingsStore settings(dir.filePath(QStringLiteral("settings.ini")));
    settings.write(keys::preview::Section, keys::preview::file(1), page);
    ScriptedDialogs dialogs;
    ScopedDialogSeam seam(dialogs);

    QString sheet = QStringLiteral("h1 {\r\n    color: #FF0000;\r\n}");
    QWidget owner;
    auto *preview = new FrmPreview(settings, [&] { return sheet; }, FrmPreview::Pictures{}, &owner);
    auto *view = qobject_cast<QWebEngineView *>(preview->WebBrowser1()->widget());
    QVERIFY(view);
    QCOMPARE(view->objectName(), QStringLiteral("WebBrowser1"));
    preview->show();

    QSignalSpy loaded(view, &QWebEngineView::loadFinished);
    preview->ComPath()->activated(0); // the author picks the page
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty() && view->url().isLocalFile(), 30000);
    QCOMPARE(view->url().toLocalFile(), page + QStringLiteral("prvw.htm"));
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(view, QStringLiteral("getComputedStyle(document.getElementById('t')).color")),
                              QStringLiteral("rgb(255, 0, 0)"), 20000);

    // Not live: an edit shows after Refresh.
    sheet = QStringLiteral("h1 { color: #00FF00; }");
    loaded.clear();
    preview->onToolbarButton(QStringLiteral("Refresh"));
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), 30000);
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(view, QStringLiteral("getComputedStyle(document.getElementById('t')).color")),
                              QStringLiteral("rgb(0, 255, 0)"), 20000);
    QVERIFY(dialogs.messages().isEmpty());
}

int main(int argc, char *argv[])
{
    prepareBrowserEngine();
    QApplication app(argc, argv);
    TestPreviewEngine test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_previewengine.moc"
