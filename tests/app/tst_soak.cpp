#include "support/files.h"
#include "support/soakdriver.h"
#include "support/windowfixture.h"

#include <QFileInfo>
#include <QTest>

using namespace sheetsmith;

// A long mixed session in the real window (SoakDriver), from a seed per row, on one of
// the smaller samples. After every step, once the window has caught up, what it shows
// must be what a fresh reading of the text gives; at the end, Undo all the way gives
// the text back that the document had when it was last opened.
//
// The seeds and the steps per seed come from SHEETSMITH_SOAK_SEEDS (blank-separated)
// and SHEETSMITH_SOAK_STEPS (scripts/soak.sh sets them); a failure names the seed and
// the step, so the run replays.
class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY2(m_fixture.setUp(), qPrintable(m_fixture.problem())); }
    void cleanup() { QVERIFY2(m_fixture.tearDown(), qPrintable(m_fixture.problem())); }

    void mixedSessionKeepsEveryViewTrue_data();
    void mixedSessionKeepsEveryViewTrue();

private:
    WindowFixture m_fixture;
};

namespace {

QList<quint32> seeds()
{
    QList<quint32> out;
    const QString given = qEnvironmentVariable("SHEETSMITH_SOAK_SEEDS");
    for (const QString &word : given.split(u' ', Qt::SkipEmptyParts))
        out << word.toUInt();
    return out.isEmpty() ? QList<quint32>{1, 2, 3, 4} : out;
}

int stepsPerSeed()
{
    const int given = qEnvironmentVariableIntValue("SHEETSMITH_SOAK_STEPS");
    return given > 0 ? given : 400;
}

} // namespace

void TestSoak::mixedSessionKeepsEveryViewTrue_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QString>("sheet");
    // The smaller samples, so that a step costs milliseconds.
    QStringList sheets;
    for (const QString &path : corpusSheets()) {
        if (QFileInfo(path).size() < 120 * 1024)
            sheets << path;
    }
    QVERIFY(!sheets.isEmpty());
    for (const quint32 seed : seeds()) {
        const QString sheet = sheets[int(seed % quint32(sheets.size()))];
        QTest::addRow("seed %u, %s", seed, qPrintable(QFileInfo(sheet).fileName())) << seed << sheet;
    }
}

void TestSoak::mixedSessionKeepsEveryViewTrue()
{
    QFETCH(quint32, seed);
    QFETCH(QString, sheet);
    QVERIFY(m_fixture.open(readBytes(sheet)));
    SoakDriver driver(m_fixture, seed);
    const int steps = stepsPerSeed();
    for (int i = 1; i <= steps; ++i) {
        const QString did = driver.step();
        const QString wrong = did.startsWith(u"wrong: ") ? did : driver.disagreement();
        if (!wrong.isEmpty() || QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("seed %1, step %2 (%3): %4\nsteps: %5")
                                 .arg(seed)
                                 .arg(i)
                                 .arg(did, wrong, driver.history())));
    }
    const QString wrong = driver.undoToOpening();
    QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("seed %1: %2").arg(seed).arg(wrong)));
}

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
