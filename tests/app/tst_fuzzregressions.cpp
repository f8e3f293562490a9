// Inputs on which fuzzing found a fault in reading or writing a sheet, kept so that the
// fault stays mended. Each row is the input as found (or reduced), and what it must
// give.

#include "text/documentfile.h"

#include <QTest>

using namespace sheetsmith;

class TestFuzzRegressions : public QObject
{
    Q_OBJECT

private slots:
    void unchangedSheetSavesIdentical_data();
    void unchangedSheetSavesIdentical();
};

void TestFuzzRegressions::unchangedSheetSavesIdentical_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("bom");

    const QByteArray mark("\xEF\xBB\xBF");
    const QString feff(QChar(0xFEFF));
    // Only the first mark says how the file is encoded; a second one is text, and was
    // lost on reading, so that saving dropped it.
    QTest::newRow("two marks, nothing else") << mark + mark << feff << true;
    QTest::newRow("two marks before a rule") << mark + mark + QByteArray("p {\r\n}\r\n")
                                             << feff + QStringLiteral("p {\r\n}\r\n") << true;
    QTest::newRow("three marks") << mark + mark + mark << feff + feff << true;
    QTest::newRow("a mark inside the text") << QByteArray("a") + mark + QByteArray("b")
                                            << QStringLiteral("a") + feff + QStringLiteral("b") << false;
    QTest::newRow("a mark alone") << mark << QString() << true;
}

void TestFuzzRegressions::unchangedSheetSavesIdentical()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(bool, bom);

    const ReadResult read = decodeDocument(bytes);
    QVERIFY(read.ok);
    QCOMPARE(read.text, text);
    QCOMPARE(read.format.bom, bom);
    QCOMPARE(encodeDocument(read.text, read.format).bytes, bytes);
}

QTEST_GUILESS_MAIN(TestFuzzRegressions)
#include "tst_fuzzregressions.moc"
