#include "preview/livepreview.h"
#include "support/recordingpageview.h"

#include <QSignalSpy>
#include <QTest>

using namespace sheetsmith;

// The live preview's traffic with the page, over a view that records each script and
// answers when the test says: what is sent, when, and that the newest text wins.
class TestLivePreview : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typingGathersIntoOneUpdateWithTheNewestText();
    void nothingGoesOutWhileOffPausedOrLoading();
    void aPageWithoutTheStyleElementIsLeftAlone();
    void aPageThatLostTheLibraryIsAskedAgainWithIt();
    void anEditOfABigSheetSendsItsPieceAndAnUnansweredOneResendsAll();
    void theRuleAtTheCaretIsOutlinedAndGoesWhenLiveGoesOff();
    void aPickedElementNamesTheSelectorsItMatches();
    void aBurstOfEditsKeepsOneUpdateOnItsWayAndEndsWithTheNewestText();
    void aStoppedPageIsSentNothingUntilOneLoadsAgain();

private:
    // A recording view whose page process the test can end.
    class StoppingPageView : public RecordingPageView
    {
    public:
        using RecordingPageView::RecordingPageView;
        void setTerminationHandler(std::function<void(Termination, int)> handler) override
        {
            m_stopped = std::move(handler);
        }
        void stop(Termination status) { m_stopped(status, 9); }

    private:
        std::function<void(Termination, int)> m_stopped;
    };

    QStringList sheetCalls() const;
    // Lets what is due in the event loop happen.
    static void settle() { QTest::qWait(50); }

    std::unique_ptr<QWidget> m_host;
    StoppingPageView *m_view = nullptr;
    std::unique_ptr<LivePreview> m_live;
    QString m_sheet;
};

void TestLivePreview::init()
{
    m_host = std::make_unique<QWidget>();
    m_view = new StoppingPageView(m_host.get());
    m_sheet = QStringLiteral("p { color: red }");
    m_live = std::make_unique<LivePreview>(*m_view, [this] { return m_sheet; });
    m_live->pageNavigated(m_sheet);
    m_view->finishLoading();
}

void TestLivePreview::cleanup()
{
    m_live.reset();
    m_host.reset();
}

QStringList TestLivePreview::sheetCalls() const
{
    QStringList out;
    for (const QString &call : m_view->calls()) {
        if (call.startsWith(u"__sheetsmith.setSheet("))
            out << call;
    }
    return out;
}

void TestLivePreview::typingGathersIntoOneUpdateWithTheNewestText()
{
    m_live->setEnabled(true);
    QCOMPARE(m_view->waiting(), 0); // the page already shows this text
    for (const char *typed : {"p { color: b }", "p { color: bl }", "p { color: blue }"}) {
        m_sheet = QString::fromLatin1(typed);
        m_live->sheetChanged();
    }
    QCOMPARE(m_view->waiting(), 0); // sent once the keystrokes' own handling is done
    QTRY_COMPARE(m_view->waiting(), 1);
    QCOMPARE(sheetCalls(), QStringList{R"(__sheetsmith.setSheet("p { color: red }",0,1,["p { color: blue }"]))"});

    // Edits while the update is on its way wait for its answer, then go as one.
    m_sheet = QStringLiteral("p { color: navy }");
    m_live->sheetChanged();
    m_sheet = QStringLiteral("p { color: teal }");
    m_live->sheetChanged();
    settle();
    QCOMPARE(m_view->waiting(), 1);
    QSignalSpy updated(m_live.get(), &LivePreview::sheetUpdated);
    m_view->answer(2.5);
    QCOMPARE(updated.size(), 1);
    QCOMPARE(updated.first().first().toDouble(), 2.5);
    QCOMPARE(m_view->waiting(), 1);
    QCOMPARE(sheetCalls().last(), QStringLiteral(R"(__sheetsmith.setSheet(null,0,1,["p { color: teal }"]))"));
}

void TestLivePreview::nothingGoesOutWhileOffPausedOrLoading()
{
    m_sheet = QStringLiteral("h1 { }");
    m_live->sheetChanged();
    m_live->showRule(QStringLiteral("h1"));
    settle();
    QCOMPARE(m_view->calls(), QStringList()); // off

    m_live->setPaused(true);
    m_live->setEnabled(true);
    QCOMPARE(m_view->calls(), QStringList()); // paused
    m_live->pageNavigated(QStringLiteral("old"));
    m_live->setPaused(false);
    QCOMPARE(m_view->calls(), QStringList()); // the page still loading
    m_view->finishLoading();
    QCOMPARE(sheetCalls(), QStringList{R"(__sheetsmith.setSheet("old",0,1,["h1 { }"]))"});
}

void TestLivePreview::aPageWithoutTheStyleElementIsLeftAlone()
{
    m_view->setAnswerer([](const QString &) { return QVariant(-1); });
    m_live->setEnabled(true);
    m_sheet = QStringLiteral("a { }");
    m_live->sheetChanged();
    QTRY_COMPARE(sheetCalls().size(), 1);
    m_sheet = QStringLiteral("b { }");
    m_live->sheetChanged();
    settle();
    QCOMPARE(sheetCalls().size(), 1);
    // A page loaded again is tried again, at once.
    m_live->pageNavigated(QStringLiteral("b { }"));
    m_sheet = QStringLiteral("c { }");
    m_view->finishLoading();
    QCOMPARE(sheetCalls().size(), 2);
}

void TestLivePreview::aPageThatLostTheLibraryIsAskedAgainWithIt()
{
    m_live->setEnabled(true);
    m_live->showRule(QStringLiteral("p"));
    QCOMPARE(m_view->waiting(), 1);
    m_view->answer(1);
    m_live->showRule(QStringLiteral("em"));
    m_view->answer(QStringLiteral("sheetsmith: no library"));
    QCOMPARE(m_view->waiting(), 1);
    QCOMPARE(m_view->calls().mid(1), (QStringList{R"(__sheetsmith.highlight("em"))", R"(__sheetsmith.highlight("em"))"}));
}

void TestLivePreview::anEditOfABigSheetSendsItsPieceAndAnUnansweredOneResendsAll()
{
    QString big;
    for (int i = 0; i < 6000; ++i)
        big += QStringLiteral(".rule%1 { color: red }\n").arg(i);
    m_sheet = big;
    m_live->pageNavigated(big);
    m_view->finishLoading();
    const auto edit = [this](const QString &from, const QString &to) {
        m_sheet.replace(from, to);
        m_live->sheetChanged();
        QTRY_COMPARE(m_view->waiting(), 1);
    };

    // Once shown, the sheet is put into pieces at once, before the first keystroke;
    // after that an edit sends its own piece only.
    m_live->setEnabled(true);
    QCOMPARE(m_view->waiting(), 1);
    QVERIFY(sheetCalls().last().startsWith(u"__sheetsmith.setSheet(\".rule0 {"));
    m_view->answer(1.0);
    edit(QStringLiteral(".rule0 {"), QStringLiteral(".first {"));
    QVERIFY(sheetCalls().last().startsWith(u"__sheetsmith.setSheet(null,0,1,[\".first {"));
    m_view->answer(1.0);
    edit(QStringLiteral(".rule3000 { color: red }"), QStringLiteral(".rule3000 { color: blue }"));
    const QString call = sheetCalls().last();
    QVERIFY(call.startsWith(u"__sheetsmith.setSheet(null,"));
    QVERIFY(call.contains(u"color: blue"));
    QVERIFY(!call.contains(u".first"));
    QVERIFY(call.size() < big.size() / 2);

    // No answer: the page may or may not have it, so the next update replaces every piece.
    QTest::qWait(LivePreview::kAnswerMs + 200);
    QTRY_COMPARE(sheetCalls().size(), 4);
    QVERIFY(sheetCalls().last().startsWith(u"__sheetsmith.setSheet(null,0,-1,[\".first {"));
}

void TestLivePreview::theRuleAtTheCaretIsOutlinedAndGoesWhenLiveGoesOff()
{
    m_view->setAnswerer([](const QString &) { return QVariant(3); });
    m_live->setEnabled(true);
    QSignalSpy shown(m_live.get(), &LivePreview::ruleShown);
    m_live->showRule(QStringLiteral("h1, .note"));
    m_live->showRule(QStringLiteral("h1, .note")); // the same rule: nothing new
    QCOMPARE(m_view->calls(), QStringList{R"(__sheetsmith.highlight("h1, .note"))"});
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().at(1).toInt(), 3);
    m_live->setEnabled(false);
    QCOMPARE(m_view->calls().last(), QStringLiteral(R"(__sheetsmith.highlight(""))"));
}

void TestLivePreview::aPickedElementNamesTheSelectorsItMatches()
{
    m_live->setEnabled(true);
    m_view->setAnswerer([](const QString &call) {
        return call.startsWith(u"__sheetsmith.takePick") ? QVariant(QStringLiteral("[0,2]")) : QVariant(true);
    });
    QSignalSpy picked(m_live.get(), &LivePreview::elementPicked);
    QSignalSpy ended(m_live.get(), &LivePreview::pickingEnded);
    m_live->setPicking(true, {QStringLiteral("p"), QStringLiteral("#x"), QStringLiteral(".y")});
    QCOMPARE(m_view->calls().last(), QStringLiteral(R"(__sheetsmith.pick(true,["p","#x",".y"]))"));
    QTRY_COMPARE(picked.size(), 1);
    QCOMPARE(picked.first().first().value<QList<int>>(), (QList<int>{0, 2}));
    QCOMPARE(ended.size(), 1);
    QVERIFY(!m_live->isPicking());
}

void TestLivePreview::aBurstOfEditsKeepsOneUpdateOnItsWayAndEndsWithTheNewestText()
{
    m_live->setEnabled(true);
    int most = 0;
    for (int i = 1; i <= 30; ++i) {
        m_sheet = QStringLiteral("p { color: #%1 }").arg(i, 6, 10, QLatin1Char('0'));
        m_live->sheetChanged();
        QCoreApplication::processEvents();
        most = qMax(most, m_view->waiting());
        if (i % 7 == 0)
            m_view->answer(1.0);
    }
    while (m_view->waiting() > 0) {
        m_view->answer(1.0);
        settle();
    }
    QCOMPARE(most, 1);
    QVERIFY(!sheetCalls().isEmpty());
    QVERIFY(sheetCalls().size() < 30);
    QCOMPARE(sheetCalls().last(), QStringLiteral(R"(__sheetsmith.setSheet(null,0,1,["p { color: #000030 }"]))"));
}

void TestLivePreview::aStoppedPageIsSentNothingUntilOneLoadsAgain()
{
    m_live->setEnabled(true);
    m_sheet = QStringLiteral("p { color: blue }");
    m_live->sheetChanged();
    QTRY_COMPARE(m_view->waiting(), 1);
    m_view->answer(1.0);
    m_live->showRule(QStringLiteral("p"));
    QSignalSpy stopped(m_live.get(), &LivePreview::pageStopped);
    m_view->stop(PageView::Termination::Killed);
    QCOMPARE(stopped.size(), 1);
    QCOMPARE(stopped.first().at(1).toInt(), 9);
    m_view->answer(QVariant()); // what the page that went answers counts for nothing
    const int calls = int(m_view->calls().size());
    m_sheet = QStringLiteral("p { color: navy }");
    m_live->sheetChanged();
    settle();
    QCOMPARE(m_view->calls().size(), calls);

    // The page loaded again holds the text it was composed with, in one element, which
    // the next update finds; the outline is drawn again.
    m_live->pageNavigated(m_sheet);
    m_sheet = QStringLiteral("p { color: teal }");
    m_view->finishLoading();
    QCOMPARE(sheetCalls().last(),
             QStringLiteral(R"(__sheetsmith.setSheet("p { color: navy }",0,1,["p { color: teal }"]))"));
    m_view->answer(1.0);
    QCOMPARE(m_view->calls().last(), QStringLiteral(R"(__sheetsmith.highlight("p"))"));
}

QTEST_MAIN(TestLivePreview)
#include "tst_livepreview.moc"
