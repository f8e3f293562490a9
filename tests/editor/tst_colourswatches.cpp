#include "editor/colourswatches.h"
#include "text/textmodel.h"

#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using namespace sheetsmith;

// The swatches a block keeps between edits: an edit that cannot change what the text
// around it is part of reads again only its line and the rest of its statement.
class TestColourSwatches : public QObject
{
    Q_OBJECT

private slots:
    void anEditReadsTheRestOfItsStatementAgain_data();
    void anEditReadsTheRestOfItsStatementAgain();
};

void TestColourSwatches::anEditReadsTheRestOfItsStatementAgain_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");        // one character more
    QTest::addColumn<QList<int>>("readFirst"); // the blocks shown before the edit
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("swatches");         // in that block after the edit
    // The property becomes one that takes colours; the value is two lines down, and
    // the line between was never shown.
    QTest::newRow("past a line not shown") << "p { colr:\r\n\r\nred }" << "p { color:\r\n\r\nred }"
                                           << QList<int>{0, 2} << 2 << 1;
    QTest::newRow("next line") << "p { colr:\r\nred }" << "p { color:\r\nred }" << QList<int>{0, 1} << 1 << 1;
    QTest::newRow("the edited line") << "p { colr: red }" << "p { color: red }" << QList<int>{0} << 0 << 1;
}

void TestColourSwatches::anEditReadsTheRestOfItsStatementAgain()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QList<int>, readFirst);
    QFETCH(int, block);
    QFETCH(int, swatches);
    TextModel model(before);
    QTextDocument document(QString(before).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    ColourSwatches cache(model);
    cache.setShown(true);
    for (const int b : readFirst)
        cache.of(document.findBlockByNumber(b));

    qsizetype from = 0;
    while (before[from] == after[from])
        ++from;
    const qsizetype qtFrom = model.toQtPosition(from);
    QVERIFY(model.applyQtChange(qtFrom, 0, after.mid(from, 1)));
    QTextCursor cursor(&document);
    cursor.setPosition(int(qtFrom));
    cursor.insertText(after.mid(from, 1));
    QCOMPARE(model.text(), after);
    cache.textChanged(from, 0, 1);
    QCOMPARE(int(cache.of(document.findBlockByNumber(block)).size()), swatches);
}

QTEST_MAIN(TestColourSwatches)
#include "tst_colourswatches.moc"
