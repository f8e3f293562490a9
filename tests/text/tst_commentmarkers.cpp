#include "text/commentmarkers.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

using namespace sheetsmith;

class TestCommentMarkers : public QObject
{
    Q_OBJECT

private slots:
    void findCommentMarkers_data();
    void findCommentMarkers();
    void markerUpdate_data();
    void markerUpdate();
    void markerUpdateOverRandomEdits();
};

void TestCommentMarkers::findCommentMarkers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<qsizetype>>("opens");
    QTest::addColumn<QList<qsizetype>>("closes");

    QTest::newRow("none") << "a / b * c" << QList<qsizetype>{} << QList<qsizetype>{};
    QTest::newRow("one comment") << "a/*b*/" << QList<qsizetype>{1} << QList<qsizetype>{4};
    QTest::newRow("/*/ holds both, overlapping") << "/*/" << QList<qsizetype>{0} << QList<qsizetype>{1};
    QTest::newRow("*/* holds both, overlapping") << "*/*" << QList<qsizetype>{1} << QList<qsizetype>{0};
    QTest::newRow("markers at both ends") << "*/x/*" << QList<qsizetype>{3} << QList<qsizetype>{0};
    QTest::newRow("//** holds one opener") << "//**" << QList<qsizetype>{1} << QList<qsizetype>{};
}

void TestCommentMarkers::findCommentMarkers()
{
    QFETCH(QString, text);
    QFETCH(QList<qsizetype>, opens);
    QFETCH(QList<qsizetype>, closes);
    const CommentMarkerPositions markers = FindCommentMarkers(text);
    QCOMPARE(QList<qsizetype>(markers.opens.begin(), markers.opens.end()), opens);
    QCOMPARE(QList<qsizetype>(markers.closes.begin(), markers.closes.end()), closes);
}

void TestCommentMarkers::markerUpdate_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<qsizetype>("from");
    QTest::addColumn<qsizetype>("removed");
    QTest::addColumn<QString>("added");

    QTest::newRow("nothing changed") << "a /* b */ c" << qsizetype(3) << qsizetype(0) << "";
    QTest::newRow("opener completed by an inserted star") << "a / b */" << qsizetype(3) << qsizetype(0) << "*";
    QTest::newRow("opener broken by a removed star") << "a /* b */" << qsizetype(3) << qsizetype(1) << "";
    QTest::newRow("opener split by an insertion") << "a /* b */" << qsizetype(3) << qsizetype(0) << "x";
    QTest::newRow("closer completed at the end") << "/* a *" << qsizetype(6) << qsizetype(0) << "/";
    QTest::newRow("markers after the edit move") << "x /* a */ /* b */" << qsizetype(1) << qsizetype(0) << "yz";
    QTest::newRow("markers before the edit stay") << "/* a */ x" << qsizetype(9) << qsizetype(0) << " y z";
    QTest::newRow("overlapping markers split") << "/*/" << qsizetype(2) << qsizetype(0) << " ";
    QTest::newRow("overlapping markers joined") << "/* /" << qsizetype(2) << qsizetype(1) << "";
    QTest::newRow("edit inside repeated text") << "/**/**/**/" << qsizetype(4) << qsizetype(1) << "";
    QTest::newRow("everything removed") << "/* a */" << qsizetype(0) << qsizetype(7) << "";
    QTest::newRow("everything new") << "" << qsizetype(0) << qsizetype(0) << "/* a */";
    QTest::newRow("whole text replaced") << "/* a */" << qsizetype(0) << qsizetype(7) << "*/ b /*";
    QString longText;
    for (int i = 0; i < 3000; ++i)
        longText += QStringLiteral("/* %1 */ p { }\r\n").arg(i);
    QTest::newRow("long text, change in the middle") << longText << qsizetype(40000) << qsizetype(2) << "*/";
}

void TestCommentMarkers::markerUpdate()
{
    QFETCH(QString, before);
    QFETCH(qsizetype, from);
    QFETCH(qsizetype, removed);
    QFETCH(QString, added);
    CommentMarkerPositions markers = FindCommentMarkers(before);
    const QString after = QString(before).replace(from, removed, added);
    SpliceCommentMarkers(markers, after, from, removed, added.size());
    const CommentMarkerPositions expected = FindCommentMarkers(after);
    QCOMPARE(markers.opens, expected.opens);
    QCOMPARE(markers.closes, expected.closes);
}

void TestCommentMarkers::markerUpdateOverRandomEdits()
{
    // Random edits over a text made of marker characters, each checked against a fresh
    // search; the generator is seeded, so a failure repeats.
    QRandomGenerator random(20240607);
    const QString alphabet = QStringLiteral("/*/* x\r\n");
    QString text;
    CommentMarkerPositions markers = FindCommentMarkers(text);
    for (int round = 0; round < 2000; ++round) {
        QString next = text;
        const qsizetype at = random.bounded(int(next.size()) + 1);
        const qsizetype removed = std::min<qsizetype>(random.bounded(4), next.size() - at);
        QString inserted;
        for (int i = random.bounded(5); i > 0; --i)
            inserted += alphabet[random.bounded(int(alphabet.size()))];
        next.replace(at, removed, inserted);
        SpliceCommentMarkers(markers, next, at, removed, inserted.size());
        const CommentMarkerPositions expected = FindCommentMarkers(next);
        if (markers.opens != expected.opens || markers.closes != expected.closes)
            QFAIL(qPrintable(QStringLiteral("round %1: \"%2\" became \"%3\"").arg(round).arg(text, next)));
        text = next;
    }
}

QTEST_APPLESS_MAIN(TestCommentMarkers)
#include "tst_commentmarkers.moc"
