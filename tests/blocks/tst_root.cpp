#include "blocks/root.h"

#include <QTest>

using namespace sheetsmith;

namespace {

struct Span
{
    qsizetype begins;
    qsizetype ends;
};

Root makeList(const QList<Span> &spans)
{
    Root root;
    int n = 0;
    for (const Span &s : spans)
        root.Add(QStringLiteral("b%1").arg(++n), QStringLiteral("Element"), s.ends, s.begins);
    return root;
}

// A list as the scanner makes it from a sheet: block 2 has no end (its "}" is missing
// or commented out), blocks 3 and 4 share one "}" (the "{" of 4 came before it).
Root sheetLikeList()
{
    return makeList({{5, 20}, {22, 0}, {30, 60}, {40, 60}, {70, 90}});
}

QStringList ids(const Root &root)
{
    QStringList out;
    for (const ItmClass &b : root)
        out << b.ID();
    return out;
}

} // namespace

class TestRoot : public QObject
{
    Q_OBJECT

private slots:
    void emptyListFindsNothing_data();
    void emptyListFindsNothing();
    void findNearestBegin_data();
    void findNearestBegin();
    void findNearestEnd_data();
    void findNearestEnd();
    void findCurrentBlock_data();
    void findCurrentBlock();
    void lookupsTakeFirstQualifyingInIndexOrder();
    void addStoresFieldsInPlace();
    void badIndexThrows_data();
    void badIndexThrows();
    void keysFollowTheirBlocks();
    void duplicateKeyThrowsAndAddsNothing();
    void unknownKeyThrows();
    void removeShiftsLaterBlocks();
    void clearEmptiesListAndKeys();
};

void TestRoot::emptyListFindsNothing_data()
{
    QTest::addColumn<qsizetype>("cur");
    QTest::newRow("caret at 0") << qsizetype(0);
    QTest::newRow("caret far into the text") << qsizetype(100000);
    QTest::newRow("negative caret") << qsizetype(-1);
}

void TestRoot::emptyListFindsNothing()
{
    QFETCH(qsizetype, cur);
    const Root root;
    QCOMPARE(root.FindNearestBegin(cur), 0);
    QCOMPARE(root.FindNearestEnd(cur), 0);
    QCOMPARE(root.FindCurrentBlock(cur), -1);
}

void TestRoot::findNearestBegin_data()
{
    QTest::addColumn<qsizetype>("cur");
    QTest::addColumn<qsizetype>("expected");
    QTest::newRow("before the first block") << qsizetype(0) << qsizetype(5);
    QTest::newRow("just before the first Begins") << qsizetype(4) << qsizetype(5);
    QTest::newRow("at a Begins is not after it") << qsizetype(5) << qsizetype(22);
    QTest::newRow("inside overlapping blocks") << qsizetype(35) << qsizetype(40);
    QTest::newRow("just before the last Begins") << qsizetype(69) << qsizetype(70);
    QTest::newRow("at the last Begins") << qsizetype(70) << qsizetype(0);
    QTest::newRow("after the last block") << qsizetype(500) << qsizetype(0);
}

void TestRoot::findNearestBegin()
{
    QFETCH(qsizetype, cur);
    QFETCH(qsizetype, expected);
    QCOMPARE(sheetLikeList().FindNearestBegin(cur), expected);
}

void TestRoot::findNearestEnd_data()
{
    QTest::addColumn<qsizetype>("cur");
    QTest::addColumn<qsizetype>("expected");
    QTest::newRow("start of text") << qsizetype(0) << qsizetype(20);
    QTest::newRow("just before a }") << qsizetype(19) << qsizetype(20);
    QTest::newRow("at an Ends skips the block without end") << qsizetype(20) << qsizetype(60);
    QTest::newRow("inside the block without end") << qsizetype(25) << qsizetype(60);
    QTest::newRow("at a shared Ends") << qsizetype(60) << qsizetype(90);
    QTest::newRow("at the last Ends") << qsizetype(90) << qsizetype(0);
    QTest::newRow("after everything") << qsizetype(1000) << qsizetype(0);
}

void TestRoot::findNearestEnd()
{
    QFETCH(qsizetype, cur);
    QFETCH(qsizetype, expected);
    const Root root = sheetLikeList();
    const qsizetype found = root.FindNearestEnd(cur);
    QCOMPARE(found, expected);
}

void TestRoot::findCurrentBlock_data()
{
    QTest::addColumn<qsizetype>("cur");
    QTest::addColumn<qsizetype>("expected");
    QTest::newRow("before every block") << qsizetype(0) << qsizetype(-1);
    QTest::newRow("at Begins is outside") << qsizetype(5) << qsizetype(-1);
    QTest::newRow("one after Begins is inside") << qsizetype(6) << qsizetype(1);
    QTest::newRow("just before the } is inside") << qsizetype(19) << qsizetype(1);
    QTest::newRow("at Ends, just after the }, is outside") << qsizetype(20) << qsizetype(-1);
    QTest::newRow("a block without end is never current") << qsizetype(25) << qsizetype(-1);
    QTest::newRow("only the outer of two overlapping") << qsizetype(35) << qsizetype(3);
    QTest::newRow("overlap: the later block wins") << qsizetype(45) << qsizetype(4);
    QTest::newRow("at a shared Ends") << qsizetype(60) << qsizetype(-1);
    QTest::newRow("between blocks") << qsizetype(65) << qsizetype(-1);
    QTest::newRow("inside the last block") << qsizetype(89) << qsizetype(5);
}

void TestRoot::findCurrentBlock()
{
    QFETCH(qsizetype, cur);
    QFETCH(qsizetype, expected);
    QCOMPARE(sheetLikeList().FindCurrentBlock(cur), expected);
}

void TestRoot::lookupsTakeFirstQualifyingInIndexOrder()
{
    // Out of document order on purpose: the first qualifying block in index order
    // decides, not the nearest value.
    const Root root = makeList({{50, 100}, {10, 40}, {30, 35}});
    QCOMPARE(root.FindNearestBegin(20), 50);
    QCOMPARE(root.FindNearestEnd(36), 100);
    // Both contain 34: the last index wins, not the innermost span.
    QCOMPARE(makeList({{30, 35}, {0, 100}}).FindCurrentBlock(34), 2);
}

void TestRoot::addStoresFieldsInPlace()
{
    Root root;
    ItmClass &added = root.Add(QStringLiteral("H1,H2"), QStringLiteral("Element"), 42, 7);
    QCOMPARE(added.ID(), QStringLiteral("H1,H2"));
    QCOMPARE(added.Kind(), QStringLiteral("Element"));
    QCOMPARE(added.Ends(), 42);
    QCOMPARE(added.Begins(), 7);
    // The returned block is the stored one, not a copy.
    added.setEnds(43);
    QCOMPARE(root.Item(1).Ends(), 43);
}

void TestRoot::badIndexThrows_data()
{
    QTest::addColumn<qsizetype>("index");
    QTest::newRow("zero") << qsizetype(0);
    QTest::newRow("negative") << qsizetype(-1);
    QTest::newRow("one past Count") << qsizetype(4);
    QTest::newRow("far past 32-bit") << (qsizetype(1) << 40);
}

void TestRoot::badIndexThrows()
{
    QFETCH(qsizetype, index);
    Root root = makeList({{0, 1}, {2, 3}, {4, 5}});
    QVERIFY_THROWS_EXCEPTION(Root::Error, root.Item(index));
    QVERIFY_THROWS_EXCEPTION(Root::Error, std::as_const(root).Item(index));
    QVERIFY_THROWS_EXCEPTION(Root::Error, root.Remove(index));
    QCOMPARE(root.Count(), 3);
}

void TestRoot::keysFollowTheirBlocks()
{
    Root root;
    root.Add(QStringLiteral("a"), QStringLiteral("Element"), 1, 0, QStringLiteral("ka"));
    root.Add(QStringLiteral("b"), QStringLiteral("Class"), 3, 2);
    root.Add(QStringLiteral("c"), QStringLiteral("ID"), 5, 4, QStringLiteral("kc"));
    root.Add(QStringLiteral("d"), QStringLiteral("ID"), 7, 6, QStringLiteral("kd"));

    QCOMPARE(root.Item(QStringLiteral("kc")).ID(), QStringLiteral("c"));
    // Removing an earlier block shifts the later ones; their keys must still find them.
    root.Remove(2);
    QCOMPARE(root.Item(QStringLiteral("kc")).ID(), QStringLiteral("c"));
    QCOMPARE(root.Item(QStringLiteral("kd")).ID(), QStringLiteral("d"));
    root.Remove(QStringLiteral("ka"));
    QCOMPARE(ids(root), QStringList({"c", "d"}));
    QCOMPARE(root.Item(QStringLiteral("kd")).ID(), QStringLiteral("d"));
    // The removed block's key is free again.
    QVERIFY_THROWS_EXCEPTION(Root::Error, root.Item(QStringLiteral("ka")));
    root.Add(QStringLiteral("e"), QStringLiteral("Class"), 9, 8, QStringLiteral("ka"));
    QCOMPARE(root.Item(QStringLiteral("ka")).ID(), QStringLiteral("e"));
}

void TestRoot::duplicateKeyThrowsAndAddsNothing()
{
    Root root;
    root.Add(QStringLiteral("a"), QStringLiteral("Element"), 1, 0, QStringLiteral("k"));
    QVERIFY_THROWS_EXCEPTION(
        Root::Error, root.Add(QStringLiteral("b"), QStringLiteral("Class"), 3, 2, QStringLiteral("k")));
    QCOMPARE(root.Count(), 1);
    QCOMPARE(root.Item(QStringLiteral("k")).ID(), QStringLiteral("a"));
    // An empty key is no key: any number of blocks may go without one.
    root.Add(QStringLiteral("c"), QStringLiteral("Class"), 5, 4, QString());
    root.Add(QStringLiteral("d"), QStringLiteral("Class"), 7, 6, QString());
    QCOMPARE(root.Count(), 3);
}

void TestRoot::unknownKeyThrows()
{
    Root root = makeList({{0, 1}});
    QVERIFY_THROWS_EXCEPTION(Root::Error, root.Item(QStringLiteral("nope")));
    QVERIFY_THROWS_EXCEPTION(Root::Error, root.Remove(QStringLiteral("nope")));
    // The selector text is not a key.
    QVERIFY_THROWS_EXCEPTION(Root::Error, root.Item(QStringLiteral("b1")));
    QCOMPARE(root.Count(), 1);
}

void TestRoot::removeShiftsLaterBlocks()
{
    Root root = makeList({{0, 1}, {2, 3}, {4, 5}, {6, 7}});
    root.Remove(2);
    QCOMPARE(ids(root), QStringList({"b1", "b3", "b4"}));
    QCOMPARE(root.Item(2).Begins(), 4);
    root.Remove(3);
    QCOMPARE(ids(root), QStringList({"b1", "b3"}));
    root.Remove(1);
    QCOMPARE(ids(root), QStringList({"b3"}));
}

void TestRoot::clearEmptiesListAndKeys()
{
    Root root;
    root.Clear();
    QCOMPARE(root.Count(), 0);
    QVERIFY(root.begin() == root.end());
    root.Add(QStringLiteral("a"), QStringLiteral("Element"), 9, 1, QStringLiteral("k"));
    root.Clear();
    QCOMPARE(root.Count(), 0);
    QCOMPARE(root.FindCurrentBlock(5), -1);
    root.Add(QStringLiteral("b"), QStringLiteral("Element"), 9, 1, QStringLiteral("k"));
    QCOMPARE(root.Item(QStringLiteral("k")).ID(), QStringLiteral("b"));
}

QTEST_APPLESS_MAIN(TestRoot)
#include "tst_root.moc"
