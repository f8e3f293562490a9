#include "support/enginepreview.h"
#include "text/selectorrules.h"

#include <QAction>
#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>

using namespace sheetsmith;

// Live preview with the real browser engine: an edit reaches the page without a
// reload (its scroll position and script state stay), a sheet cannot break out of its
// style element, and the rule at the caret is outlined by the program's own overlay;
// a real click picks an element as it is at rest.
class TestPreviewEngineLive : public QObject
{
    Q_OBJECT

private slots:
    void editsReachThePageWithoutAReloadAndRulesAreOutlined();
    void aClickPicksTheRuleOfTheElementAtRest();
};

void TestPreviewEngineLive::editsReachThePageWithoutAReloadAndRulesAreOutlined()
{
    EnginePreview engine("<!DOCTYPE html>\n<html><head><title>t</title></head>\n"
                         "<body><h1 id=\"t\">Title</h1><p>a</p><p>b</p><p>c</p>\n"
                         "<div style=\"height: 5000px\"></div>\n"
                         "<script>window.marker = 'kept';</script></body></html>\n",
                         QStringLiteral("h1 { color: #FF0000; }"), false);
    QVERIFY(engine.isValid());
    FrmPreview *preview = engine.preview;
    QVERIFY(engine.showPage());
    QTRY_COMPARE_WITH_TIMEOUT(engine.colourOf("t"), QStringLiteral("rgb(255, 0, 0)"), 20000);
    preview->findChild<QAction *>(QStringLiteral("Tb_Live"))->setChecked(true);
    QCOMPARE(engine.settings.read(keys::preview::Section, keys::preview::Live), QStringLiteral("1"));
    QCOMPARE(engine.evaluate(QStringLiteral("window.scrollTo(0, 300); String(window.scrollY)")), QStringLiteral("300"));
    const qsizetype loads = engine.loaded->size();

    // Typing a colour: the page follows, with no load, at its scroll position.
    engine.sheet = QStringLiteral("h1 { color: #00FF00; }");
    preview->sheetChanged();
    QTRY_COMPARE_WITH_TIMEOUT(engine.colourOf("t"), QStringLiteral("rgb(0, 255, 0)"), 5000);
    QCOMPARE(engine.evaluate(QStringLiteral("window.marker")), QStringLiteral("kept"));
    QCOMPARE(engine.evaluate(QStringLiteral("String(window.scrollY)")), QStringLiteral("300"));
    QCOMPARE(engine.loaded->size(), loads);

    // Markup in the sheet is text of the sheet: no element comes out of it.
    engine.sheet = QStringLiteral("h1 { color: #0000FF; }\r\n</style><script>window.broken = 1;</script><style>");
    preview->sheetChanged();
    QTRY_COMPARE_WITH_TIMEOUT(engine.colourOf("t"), QStringLiteral("rgb(0, 0, 255)"), 5000);
    QCOMPARE(engine.evaluate(QStringLiteral("typeof window.broken")), QStringLiteral("undefined"));
    QCOMPARE(engine.evaluate(QStringLiteral("String(document.scripts.length)")), QStringLiteral("1"));

    // The rule at the caret: one box per matched element, in a shadow root of its own.
    const QString boxes = QStringLiteral(
        "(function () { const h = document.querySelector('[data-sheetsmith-overlay]');"
        " return h ? String(h.shadowRoot.querySelectorAll('[data-box]').length) : 'none'; })()");
    preview->showRule(QStringLiteral("p"));
    QTRY_COMPARE_WITH_TIMEOUT(engine.evaluate(boxes), QStringLiteral("3"), 5000);
    preview->showRule(QStringLiteral("h1, p"));
    QTRY_COMPARE_WITH_TIMEOUT(engine.evaluate(boxes), QStringLiteral("4"), 5000);
    preview->showRule(QStringLiteral("p:::bad"));
    QTRY_COMPARE_WITH_TIMEOUT(engine.evaluate(boxes), QStringLiteral("none"), 5000);
    preview->showRule(QStringLiteral("p"));
    QTRY_COMPARE_WITH_TIMEOUT(engine.evaluate(boxes), QStringLiteral("3"), 5000);
    preview->findChild<QAction *>(QStringLiteral("Tb_Live"))->setChecked(false);
    QTRY_COMPARE_WITH_TIMEOUT(engine.evaluate(boxes), QStringLiteral("none"), 5000);
    QVERIFY(engine.dialogs.messages().isEmpty());
}

void TestPreviewEngineLive::aClickPicksTheRuleOfTheElementAtRest()
{
    // The rule for the pointer's states comes first: the click hovers and presses the
    // link, and still the rule that styles it at rest must win.
    EnginePreview engine("<!DOCTYPE html>\n<html><head><title>t</title></head>\n"
                         "<body><p><a href=\"#x\" id=\"l\">link</a></p></body></html>\n",
                         QStringLiteral("a:active, a:hover { color: red }\na { color: navy }\n"), true);
    QVERIFY(engine.isValid());
    const PickCandidates candidates = PickCandidatesFor({QStringLiteral("a:active, a:hover"), QStringLiteral("a")});
    FrmPreview *preview = engine.preview;
    QWebEngineView *view = engine.view;
    preview->setPickSelectors([&] { return candidates.selectors; });
    QVERIFY(engine.showPage());
    QTRY_COMPARE_WITH_TIMEOUT(engine.colourOf("l"), QStringLiteral("rgb(0, 0, 128)"), 20000);

    QSignalSpy picked(preview, &FrmPreview::elementPicked);
    preview->findChild<QAction *>(QStringLiteral("Tb_Pick"))->trigger();
    // The overlay comes with the page's pick handlers, in the same script.
    QTRY_COMPARE_WITH_TIMEOUT(engine.evaluate(QStringLiteral("String(!!document.querySelector('[data-sheetsmith-overlay]'))")),
                              QStringLiteral("true"), 5000);
    const QJsonObject box = QJsonDocument::fromJson(
        engine.evaluate(QStringLiteral("JSON.stringify(document.getElementById('l').getBoundingClientRect())")).toUtf8()).object();
    QVERIFY2(box.value(QStringLiteral("width")).toDouble() > 0, qPrintable(QJsonDocument(box).toJson()));
    const QPoint at(qRound(box.value(QStringLiteral("x")).toDouble() + box.value(QStringLiteral("width")).toDouble() / 2),
                    qRound(box.value(QStringLiteral("y")).toDouble() + box.value(QStringLiteral("height")).toDouble() / 2));
    // The engine takes its input in a child of the view.
    QWidget *input = view->focusProxy();
    QVERIFY(input);
    QTest::mouseMove(input, at);
    // The pointer really is over the link, or the click would prove nothing.
    QTRY_COMPARE_WITH_TIMEOUT(engine.evaluate(QStringLiteral("String(document.getElementById('l').matches(':hover'))")),
                              QStringLiteral("true"), 5000);
    QTest::mousePress(input, Qt::LeftButton, {}, at);
    QTest::mouseRelease(input, Qt::LeftButton, {}, at);
    QTRY_COMPARE_WITH_TIMEOUT(picked.size(), 1, 5000);
    const PickOutcome outcome = WinningRule(candidates, picked.first().first().value<QList<int>>());
    QCOMPARE(outcome.rule, 1);
    QCOMPARE(outcome.matchedRules, 1);
    QVERIFY(!preview->findChild<QAction *>(QStringLiteral("Tb_Pick"))->isChecked());
    QVERIFY(engine.dialogs.messages().isEmpty());
}

int main(int argc, char *argv[])
{
    prepareBrowserEngine();
    QApplication app(argc, argv);
    TestPreviewEngineLive test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_previewengine_live.moc"
