#include "check/hoverhelp.h"
#include "inspector/catalogue.h"

#include <QTest>

using namespace sheetsmith;

// What the editor's tool tip says over each kind of place in a sheet.
class TestHoverHelp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void help_data();
    void help();

private:
    Catalogue m_catalogue;
};

void TestHoverHelp::initTestCase()
{
    const CatalogueResult loaded = LoadCatalogue(QStringLiteral(SHEETSMITH_BUILD_DIR "/css1.txt"));
    QVERIFY2(loaded.error.isEmpty(), qPrintable(loaded.error));
    m_catalogue = loaded.catalogue;
}

void TestHoverHelp::help_data()
{
    QTest::addColumn<QString>("at");       // the pointer is on the first character of this text
    QTest::addColumn<QString>("expected"); // what the tip begins with; empty: no tip
    QTest::newRow("property") << "text-align" << "text-align: ";
    QTest::newRow("keyword allowed") << "center" << "center: a value CSS level 1 allows for text-align.";
    QTest::newRow("keyword refused") << "centre" << "centre: not a value CSS level 1 allows for vertical-align.";
    QTest::newRow("keyword of a shorthand's part") << "bold" << "bold: a value CSS level 1 allows for font.";
    QTest::newRow("property CSS1 lacks") << "opacity" << "opacity: not a property of CSS level 1.";
    QTest::newRow("compound selector") << "nav" << "a.nav:hover\nSpecificity (0, 2, 1)";
    QTest::newRow("second of a group") << "top" << "#top > li\nSpecificity (1, 0, 1)";
    QTest::newRow("rule inside @media") << "em" << "em\nSpecificity (0, 0, 1)";
    QTest::newRow("!important") << "important" << "";
    QTest::newRow("number") << "12px" << "";
    QTest::newRow("comment") << "note" << "";
    QTest::newRow("blank") << " center" << "";
    QTest::newRow("at-rule prelude") << "print" << "";
}

void TestHoverHelp::help()
{
    QFETCH(QString, at);
    QFETCH(QString, expected);
    const QString sheet = QStringLiteral("a.nav:hover, #top > li { text-align: center; vertical-align: centre }\n"
                                         "/* note */ p { opacity: 1; margin: 0 !important }\n"
                                         "@media print { em { font: bold 12px serif } }\n");
    const qsizetype offset = sheet.indexOf(at);
    QVERIFY(offset >= 0);
    const QString tip = HoverHelpAt(sheet, FindCommentMarkers(sheet), offset, m_catalogue);
    if (expected.isEmpty())
        QCOMPARE(tip, QString());
    else
        QVERIFY2(tip.startsWith(expected), qPrintable(tip));
}

QTEST_APPLESS_MAIN(TestHoverHelp)
#include "tst_hoverhelp.moc"
