#include "text/findrules.h"
#include "text/words.h"

#include <QTest>

using namespace sheetsmith;

// Where Find Next searches, press after press, walked over a text with FindInText as
// the editor runs it: the matches each direction visits, in order, until the search
// reports that it has finished.
class TestFindRules : public QObject
{
    Q_OBJECT

private slots:
    void walk_data();
    void walk();
};

void TestFindRules::walk_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("selection"); // selected from the caret
    QTest::addColumn<QString>("visited"); // the offsets found, press after press
    const QString t = QStringLiteral("ab ab ab");
    QTest::newRow("All from the caret: the whole text") << t << 0 << 4 << 0 << "0 3 6";
    QTest::newRow("All with a selection: inside it first") << t << 0 << 2 << 5 << "3 6";
    QTest::newRow("Down from the caret") << t << 2 << 4 << 0 << "6";
    QTest::newRow("Down from the start") << t << 2 << 0 << 0 << "0 3 6";
    QTest::newRow("Up: from the top, then up from the match") << t << 1 << 7 << 0 << "3";
    QTest::newRow("Up reaches offset 1 and no further") << QStringLiteral("xab ab") << 1 << 0 << 0 << "1";
    QTest::newRow("Up never finds offset 0") << QStringLiteral("ab ab") << 1 << 0 << 0 << "3";
    QTest::newRow("nothing to find") << t << 0 << 0 << 0 << "";
}

void TestFindRules::walk()
{
    QFETCH(QString, text);
    QFETCH(int, direction);
    QFETCH(int, caret);
    QFETCH(int, selection);
    QFETCH(QString, visited);
    const QString what = QStringLiteral("ab");
    const QString sought = visited.isEmpty() ? QStringLiteral("zz") : what;
    qsizetype selStart = caret;
    qsizetype selLength = selection;
    QStringList found;
    FindRange range = FirstFindRange(FindDirection(direction), selStart, text.size());
    for (int press = 0; press < 10; ++press) {
        const qsizetype at =
            range.search ? FindInText(text, sought, selStart, selLength, range.start, range.end, FindOptions{}) : -1;
        if (at < 0)
            break;
        found << QString::number(at);
        selStart = at;
        selLength = sought.size();
        range = NextFindRange(FindDirection(direction), selStart, selLength, text.size(), sought.size());
    }
    QCOMPARE(found.join(u' '), visited);
}

QTEST_APPLESS_MAIN(TestFindRules)
#include "tst_findrules.moc"
