// Sheets on which fuzzing found a fault in the scanner, kept so that the fault stays
// mended. Each row is the input as found (reduced to what matters).

#include "blocks/root.h"
#include "blocks/scanner.h"
#include "text/textmodel.h"

#include <QTest>

using namespace sheetsmith;

class TestFuzzRegressionsScanner : public QObject
{
    Q_OBJECT

private slots:
    void elementTestIgnoresCaseOutsideBmp_data();
    void elementTestIgnoresCaseOutsideBmp();
};

void TestFuzzRegressionsScanner::elementTestIgnoresCaseOutsideBmp_data()
{
    QTest::addColumn<QString>("selector");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("kind");

    // U+10410 and U+10438 are the capital and small forms of one letter, each written
    // as a surrogate pair. The names were folded as whole characters but the selector
    // unit by unit, so the two forms never matched.
    const QString capital = QString::fromUcs4(U"\U00010410");
    const QString small = QString::fromUcs4(U"\U00010438");
    QTest::newRow("capital selector, small name") << capital << QStringList{small} << QStringLiteral("Element");
    QTest::newRow("small selector, capital name") << small << QStringList{capital} << QStringLiteral("Element");
    QTest::newRow("capital selector inside a longer name")
        << QStringLiteral("x") + capital << QStringList{QStringLiteral("ax") + small + QStringLiteral("b")}
        << QStringLiteral("Element");
    // Half a pair is no letter: it matches only the same unit standing alone.
    QTest::newRow("lone low surrogate against a pair")
        << capital.right(1) << QStringList{capital} << QStringLiteral("Class");
}

void TestFuzzRegressionsScanner::elementTestIgnoresCaseOutsideBmp()
{
    QFETCH(QString, selector);
    QFETCH(QStringList, names);
    QFETCH(QString, kind);

    Root blocks;
    ScanBlocks(TextModel(selector + QStringLiteral(" {\r\n}")), names, blocks);
    QCOMPARE(blocks.Count(), 1);
    QCOMPARE(blocks.Item(1).ID(), selector);
    QCOMPARE(blocks.Item(1).Kind(), kind);
}

QTEST_GUILESS_MAIN(TestFuzzRegressionsScanner)
#include "tst_fuzzregressions_scanner.moc"
