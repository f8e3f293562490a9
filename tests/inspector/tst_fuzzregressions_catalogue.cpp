// Catalogue files on which fuzzing found a fault, kept so that the fault stays mended.
// Each row is the end of an otherwise complete catalogue, as found (reduced).

#include "inspector/catalogue.h"

#include <QTest>

using namespace sheetsmith;

namespace {

// 52 well-formed records; the row adds the 53rd.
QByteArray firstRecords()
{
    QByteArray out;
    for (int i = 0; i < CataloguePropertyCount - 1; ++i) {
        const QByteArray n = QByteArray::number(i);
        out += "[p" + n + "]\r\nValue:a|b\r\nInfo:About p" + n + ".\r\n";
    }
    return out;
}

} // namespace

class TestFuzzRegressionsCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void lastRecordKeepsEveryByte_data();
    void lastRecordKeepsEveryByte();
};

void TestFuzzRegressionsCatalogue::lastRecordKeepsEveryByte_data()
{
    QTest::addColumn<QByteArray>("lastRecord");
    QTest::addColumn<QString>("info");

    // A UTF-8 sequence cut off by the end of the file made the file count as UTF-8 all
    // the same, and its bytes were dropped. Such a file is not UTF-8: it is read as
    // Windows-1252, like any other file that is not, and keeps every byte.
    QTest::newRow("lead byte of four alone at the end")
        << QByteArray("[border]\r\nValue:x\r\nInfo:colo\xF4") << QStringLiteral("colo\u00F4");
    QTest::newRow("lead byte of two alone at the end")
        << QByteArray("[border]\r\nValue:x\r\nInfo:caf\xC3") << QStringLiteral("caf\u00C3");
    QTest::newRow("two bytes of three at the end")
        << QByteArray("[border]\r\nValue:x\r\nInfo:price \xE2\x82") << QStringLiteral("price \u00E2\u201A");
    QTest::newRow("complete sequence at the end stays UTF-8")
        << QByteArray("[border]\r\nValue:x\r\nInfo:price \xE2\x82\xAC") << QStringLiteral("price \u20AC");
}

void TestFuzzRegressionsCatalogue::lastRecordKeepsEveryByte()
{
    QFETCH(QByteArray, lastRecord);
    QFETCH(QString, info);

    const CatalogueResult result = parseCatalogue(firstRecords() + lastRecord, QStringLiteral("css1.txt"));
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.catalogue.PropName[CataloguePropertyCount - 1], QStringLiteral("border"));
    QCOMPARE(result.catalogue.PropInfo[CataloguePropertyCount - 1], info);
}

QTEST_GUILESS_MAIN(TestFuzzRegressionsCatalogue)
#include "tst_fuzzregressions_catalogue.moc"
