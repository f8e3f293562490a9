#include "app/panelayout.h"

#include <QTest>

using namespace sheetsmith;

class TestPaneLayout : public QObject
{
    Q_OBJECT

private slots:
    void panesFollowTheSplitRatio_data();
    void panesFollowTheSplitRatio();
    void shortOrMinimisedWindowChangesNothing_data();
    void shortOrMinimisedWindowChangesNothing();
    void controlsInsideThePanes();
    void smallPanesKeepTheirLastSizes();
    void narrowerThanTheMarginsGivesEmptyPanes();
    void splitRatioIsClamped_data();
    void splitRatioIsClamped();
};

void TestPaneLayout::panesFollowTheSplitRatio_data()
{
    QTest::addColumn<float>("ratio");
    QTest::addColumn<float>("leftWidth");
    QTest::newRow("start ratio") << 0.32f << 3235.2f;
    QTest::newRow("far left") << 0.0f << 0.0f;
    QTest::newRow("far right") << 1.0f << 10110.0f;
}

void TestPaneLayout::panesFollowTheSplitRatio()
{
    QFETCH(float, ratio);
    QFETCH(float, leftWidth);
    PaneGeometry g;
    LayoutPanes({10260, 8550, 10500, false, ratio}, g);
    QCOMPARE(g.frame1, (TwipRect{60, 360, leftWidth, 7850}));
    // The right pane starts after the 90-twip strip and takes the rest but 150 twips.
    QCOMPARE(g.frame2.left, leftWidth + 150);
    QCOMPARE(g.frame2.width, 10110 - leftWidth);
    QCOMPARE(g.frame2.height, 7850.0f);
}

void TestPaneLayout::shortOrMinimisedWindowChangesNothing_data()
{
    QTest::addColumn<float>("height");
    QTest::addColumn<bool>("minimised");
    QTest::newRow("client height below 700") << 699.0f << false;
    QTest::newRow("minimised") << 8550.0f << true;
}

void TestPaneLayout::shortOrMinimisedWindowChangesNothing()
{
    QFETCH(float, height);
    QFETCH(bool, minimised);
    PaneGeometry g;
    const PaneGeometry before = g;
    LayoutPanes({20000, height, 20200, minimised, 0.5f}, g);
    QCOMPARE(g, before);
}

void TestPaneLayout::controlsInsideThePanes()
{
    PaneGeometry g;
    LayoutPanes({15150, 10700, 15300, false, 0.4f}, g);
    // Left pane 6000 x 10000.
    QCOMPARE(g.frame1.width, 6000.0f);
    QCOMPARE(g.lbl1.width, 5880.0f);
    QCOMPARE(g.tv.width, 5880.0f);
    QCOMPARE(g.lbl2.width, 5880.0f);
    QCOMPARE(g.lstP.width, 5880.0f);
    QCOMPARE(g.txtInfo.width, 5880.0f);
    QCOMPARE(g.valueColumnWidth, 5880.0f - g.propertyColumnWidth - 320);
    QCOMPARE(g.tv.height, 4800.0f);
    QCOMPARE(g.lbl2.top, 730.0f + 4800 + 120);
    QCOMPARE(g.lstP.top, g.lbl2.top + 285 + 60);
    QCOMPARE(g.txtInfo.top, g.lstP.top + g.lstP.height + 60);
    // Right pane 9000 x 10000.
    QCOMPARE(g.lbl3.width, 8880.0f);
    QCOMPARE(g.mainText.width, 8880.0f);
    QCOMPARE(g.mainText.height, 9500.0f);
    QCOMPARE(g.mainText.top, 440.0f);
    QCOMPARE(g.statusPanel1Width, 15300.0f - 2500);
}

void TestPaneLayout::smallPanesKeepTheirLastSizes()
{
    PaneGeometry g;
    LayoutPanes({15150, 10700, 15300, false, 0.4f}, g);
    const PaneGeometry wide = g;
    // A left pane narrower than 120 twips and panes lower than 5200 twips: the widths
    // and heights that depend on them stay as they were; the tops still follow.
    LayoutPanes({1150, 5000, 1300, false, 0.05f}, g);
    QCOMPARE(g.frame1.width, 50.0f);
    QCOMPARE(g.lbl1.width, wide.lbl1.width);
    QCOMPARE(g.tv.width, wide.tv.width);
    QCOMPARE(g.tv.height, wide.tv.height);
    QCOMPARE(g.mainText.width, 950.0f - 120);
    QCOMPARE(g.mainText.height, 4300.0f - 500);
    QCOMPARE(g.statusPanel1Width, wide.statusPanel1Width); // outer width below 2500
}

void TestPaneLayout::narrowerThanTheMarginsGivesEmptyPanes()
{
    PaneGeometry g;
    LayoutPanes({100, 5000, 250, false, 0.32f}, g);
    QCOMPARE(g.frame1.width, 0.0f);
    QCOMPARE(g.frame2.width, 0.0f);
    QCOMPARE(g.frame2.left, 150.0f);
}

void TestPaneLayout::splitRatioIsClamped_data()
{
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("ratio");
    QTest::newRow("left of the window") << -300.0f << 0.0f;
    QTest::newRow("inside") << 2500.0f << 0.25f;
    QTest::newRow("right of the window") << 12000.0f << 1.0f;
}

void TestPaneLayout::splitRatioIsClamped()
{
    QFETCH(float, x);
    QFETCH(float, ratio);
    QCOMPARE(SplitRatioAt(x, 10000), ratio);
}

QTEST_APPLESS_MAIN(TestPaneLayout)
#include "tst_panelayout.moc"
