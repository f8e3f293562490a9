#include "text/lines.h"
#include "text/textmodel.h"

#include <QTest>

using namespace sheetsmith;

namespace {

// Three lines "ab", "" and "cdef": a=0 b=1 CR=2 LF=3 | CR=4 LF=5 | c=6 d=7 e=8 f=9.
const QString kThreeLines = QStringLiteral("ab\r\n\r\ncdef");

} // namespace

class TestLines : public QObject
{
    Q_OBJECT

private slots:
    void lineStart_data();
    void lineStart();
    void lineLength_data();
    void lineLength();
    void lineText_data();
    void lineText();
    void caretLineAndColumn_data();
    void caretLineAndColumn();
};

void TestLines::lineStart_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<qsizetype>("expected");
    QTest::newRow("line 1") << 1 << qsizetype(1);
    QTest::newRow("empty line 2") << 2 << qsizetype(5);
    QTest::newRow("last line") << 3 << qsizetype(7);
    QTest::newRow("past the end") << 4 << qsizetype(0);
    QTest::newRow("line 0") << 0 << qsizetype(0);
}

void TestLines::lineStart()
{
    QFETCH(int, line);
    QFETCH(qsizetype, expected);
    QCOMPARE(LineStart(TextModel(kThreeLines), line), expected);
}

void TestLines::lineLength_data()
{
    QTest::addColumn<qsizetype>("index");
    QTest::addColumn<qsizetype>("expected");
    QTest::newRow("in line 1") << qsizetype(0) << qsizetype(2);
    QTest::newRow("LF of line 1") << qsizetype(3) << qsizetype(2);
    QTest::newRow("empty line") << qsizetype(5) << qsizetype(0);
    QTest::newRow("last line") << qsizetype(6) << qsizetype(4);
    QTest::newRow("end of text") << qsizetype(10) << qsizetype(4);
    QTest::newRow("past the end") << qsizetype(11) << qsizetype(0);
    QTest::newRow("negative") << qsizetype(-1) << qsizetype(0);
}

void TestLines::lineLength()
{
    QFETCH(qsizetype, index);
    QFETCH(qsizetype, expected);
    QCOMPARE(LineLength(TextModel(kThreeLines), index), expected);
}

void TestLines::lineText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first line") << kThreeLines << 1 << "ab";
    QTest::newRow("empty line") << kThreeLines << 2 << "";
    QTest::newRow("last line without break") << kThreeLines << 3 << "cdef";
    QTest::newRow("past the end") << kThreeLines << 4 << "";
    QTest::newRow("line 0") << kThreeLines << 0 << "";
    QTest::newRow("one-character last line") << "ab\r\nc" << 2 << "c";
    QTest::newRow("one-character line before a break") << "x\r\nyz" << 1 << "x";
    QTest::newRow("empty last line after a break") << "ab\r\n" << 2 << "";
    QTest::newRow("non-ASCII") << QString::fromUtf8("é\r\n\u00fcber") << 2 << QString::fromUtf8("über");
    QTest::newRow("tabs kept") << "\ta\t" << 1 << "\ta\t";
}

void TestLines::lineText()
{
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(QString, expected);
    QCOMPARE(LineText(TextModel(text), line), expected);
}

void TestLines::caretLineAndColumn_data()
{
    QTest::addColumn<qsizetype>("caret");
    QTest::addColumn<int>("line");
    QTest::addColumn<qsizetype>("column");
    QTest::newRow("start of text") << qsizetype(0) << 1 << qsizetype(1);
    QTest::newRow("end of line 1") << qsizetype(2) << 1 << qsizetype(3);
    QTest::newRow("start of the empty line") << qsizetype(4) << 2 << qsizetype(1);
    QTest::newRow("start of the last line") << qsizetype(6) << 3 << qsizetype(1);
    QTest::newRow("end of the text") << qsizetype(10) << 3 << qsizetype(5);
}

void TestLines::caretLineAndColumn()
{
    QFETCH(qsizetype, caret);
    QFETCH(int, line);
    QFETCH(qsizetype, column);
    const TextModel model(kThreeLines);
    QCOMPARE(CaretLine(model, caret), line);
    QCOMPARE(CaretColumn(model, caret), column);
}

QTEST_MAIN(TestLines)
#include "tst_lines.moc"
