#include "text/editedrange.h"
#include "text/textmodel.h"

#include <QRandomGenerator>
#include <QTest>

using sheetsmith::EditedRange;
using sheetsmith::TextModel;

// "Qt form" of a CR LF text: one U+2029 per break, as Qt's document reports text.
static QString qtForm(QString crLf)
{
    return crLf.replace(QStringLiteral("\r\n"), QString(QChar(0x2029)));
}

class TestTextModel : public QObject
{
    Q_OBJECT

private slots:
    void breakForms_data();
    void breakForms();
    void toQtPosition_data();
    void toQtPosition();
    void fromQtPositionIsInverseOnCharacterStarts_data();
    void fromQtPositionIsInverseOnCharacterStarts();
    void lines_data();
    void lines();
    void lineOfOffset_data();
    void lineOfOffset();
    void applyQtChange_data();
    void applyQtChange();
    void applyQtChangeRejectsWhatDoesNotFit_data();
    void applyQtChangeRejectsWhatDoesNotFit();
    void crLfTextIsNotCopied();
    void editedRangeHoldsEveryChange_data();
    void editedRangeHoldsEveryChange();
};

void TestTextModel::breakForms_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("CR LF kept") << "a\r\nb" << "a\r\nb";
    QTest::newRow("LF") << "a\nb\n" << "a\r\nb\r\n";
    QTest::newRow("lone CR") << "a\rb" << "a\r\nb";
    QTest::newRow("LF CR is two breaks") << "a\n\rb" << "a\r\n\r\nb";
    QTest::newRow("paragraph separator") << QString("a") + QChar(0x2029) + "b" << "a\r\nb";
    QTest::newRow("mixed") << "a\r\n\nb\rc" << "a\r\n\r\nb\r\nc";
    QTest::newRow("empty") << "" << "";
}

void TestTextModel::breakForms()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    const TextModel model(input);
    QCOMPARE(model.text(), expected);
    QCOMPARE(model.lineCount(), int(expected.count(QStringLiteral("\r\n"))) + 1);
    QCOMPARE(model.qtLength(), qtForm(expected).size());
}

void TestTextModel::toQtPosition_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("offset");
    QTest::addColumn<qsizetype>("qtPosition");
    const QString t = QStringLiteral("ab\r\n\r\ncd");
    QTest::newRow("start") << t << qsizetype(0) << qsizetype(0);
    QTest::newRow("line end (on CR)") << t << qsizetype(2) << qsizetype(2);
    QTest::newRow("on LF goes to line end") << t << qsizetype(3) << qsizetype(2);
    QTest::newRow("empty line start") << t << qsizetype(4) << qsizetype(3);
    QTest::newRow("LF of empty line") << t << qsizetype(5) << qsizetype(3);
    QTest::newRow("last line start") << t << qsizetype(6) << qsizetype(4);
    QTest::newRow("text end") << t << qsizetype(8) << qsizetype(6);
    QTest::newRow("past end clamps") << t << qsizetype(99) << qsizetype(6);
    QTest::newRow("negative clamps") << t << qsizetype(-5) << qsizetype(0);
    QTest::newRow("text ending in break, end") << QStringLiteral("a\r\n") << qsizetype(3) << qsizetype(2);
    const QString wide = QString::fromUtf8("é\r\n\xF0\x9F\x98\x80x"); // é, break, U+1F600, x
    QTest::newRow("after surrogate pair") << wide << qsizetype(5) << qsizetype(4);
    QTest::newRow("non-ASCII line end") << wide << qsizetype(1) << qsizetype(1);
}

void TestTextModel::toQtPosition()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, offset);
    QFETCH(qsizetype, qtPosition);
    QCOMPARE(TextModel(text).toQtPosition(offset), qtPosition);
}

void TestTextModel::fromQtPositionIsInverseOnCharacterStarts_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << "abc";
    QTest::newRow("breaks and empty lines") << "a\r\n\r\n\r\nbc\r\n";
    QTest::newRow("non-BMP") << QString::fromUtf8("\xF0\x9F\x98\x80\r\n\xC3\xA9");
    QTest::newRow("empty") << "";
}

void TestTextModel::fromQtPositionIsInverseOnCharacterStarts()
{
    QFETCH(QString, text);
    const TextModel model(text);
    // Every offset that is not the LF of a break is a Qt position's image.
    for (qsizetype offset = 0; offset <= text.size(); ++offset) {
        if (offset > 0 && text[offset - 1] == u'\r')
            continue;
        QCOMPARE(model.fromQtPosition(model.toQtPosition(offset)), offset);
    }
    for (qsizetype qt = 0; qt <= model.qtLength(); ++qt)
        QCOMPARE(model.toQtPosition(model.fromQtPosition(qt)), qt);
}

void TestTextModel::lines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty text has one empty line") << "" << QStringList{""};
    QTest::newRow("last line without break") << "a\r\nbc" << QStringList{"a", "bc"};
    QTest::newRow("text ending in break") << "a\r\n" << QStringList{"a", ""};
    QTest::newRow("empty lines") << "\r\n\r\nx" << QStringList{"", "", "x"};
    QTest::newRow("over 32767 lines") << QString(40000, u'\n') << QStringList(40001, QString());
}

void TestTextModel::lines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    const TextModel model(text);
    QCOMPARE(model.lineCount(), int(lines.size()));
    qsizetype start = 0;
    for (int i = 0; i < lines.size(); ++i) {
        QCOMPARE(model.lineStart(i), start);
        QCOMPARE(model.lineLength(i), lines[i].size());
        QCOMPARE(model.lineText(i), lines[i]);
        start += lines[i].size() + 2;
    }
    QCOMPARE(model.lineStart(int(lines.size())), qsizetype(-1));
    QCOMPARE(model.lineStart(-1), qsizetype(-1));
    QCOMPARE(model.lineText(int(lines.size())), QString());
}

void TestTextModel::lineOfOffset_data()
{
    QTest::addColumn<qsizetype>("offset");
    QTest::addColumn<int>("line");
    // "ab" CR LF CR LF "c"
    QTest::newRow("first char") << qsizetype(0) << 0;
    QTest::newRow("CR belongs to the line it ends") << qsizetype(2) << 0;
    QTest::newRow("LF belongs to the line it ends") << qsizetype(3) << 0;
    QTest::newRow("empty line") << qsizetype(4) << 1;
    QTest::newRow("LF of empty line") << qsizetype(5) << 1;
    QTest::newRow("last line") << qsizetype(6) << 2;
    QTest::newRow("text end") << qsizetype(7) << 2;
    QTest::newRow("past end") << qsizetype(50) << 2;
    QTest::newRow("negative") << qsizetype(-1) << 0;
}

void TestTextModel::lineOfOffset()
{
    QFETCH(qsizetype, offset);
    QFETCH(int, line);
    QCOMPARE(TextModel(QStringLiteral("ab\r\n\r\nc")).lineOfOffset(offset), line);
}

void TestTextModel::applyQtChange_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<qsizetype>("qtPos");
    QTest::addColumn<qsizetype>("qtRemoved");
    QTest::addColumn<QString>("qtAdded");
    QTest::addColumn<QString>("after");
    const QString sep(QChar(0x2029));
    QTest::newRow("type in a line") << "ab\r\ncd" << qsizetype(1) << qsizetype(0) << "x" << "axb\r\ncd";
    QTest::newRow("Enter") << "ab" << qsizetype(1) << qsizetype(0) << sep << "a\r\nb";
    QTest::newRow("Backspace across break") << "ab\r\ncd" << qsizetype(2) << qsizetype(1) << "" << "abcd";
    QTest::newRow("remove several lines") << "a\r\nb\r\nc\r\nd" << qsizetype(1) << qsizetype(4) << "" << "a\r\nd";
    QTest::newRow("paste lines") << "ad" << qsizetype(1) << qsizetype(0) << "b" + sep + "c" + sep
                                 << "ab\r\nc\r\nd";
    QTest::newRow("replace across break with break") << "ab\r\ncd" << qsizetype(1) << qsizetype(3) << sep
                                                      << "a\r\nd";
    QTest::newRow("insert at text end") << "a\r\n" << qsizetype(2) << qsizetype(0) << "z" << "a\r\nz";
    QTest::newRow("clear all") << "a\r\n\r\nb" << qsizetype(0) << qsizetype(4) << "" << "";
    QTest::newRow("LF form accepted") << "ab" << qsizetype(2) << qsizetype(0) << "\nc" << "ab\r\nc";
    QTest::newRow("opener completed, later markers move")
        << "a / b */\r\n/* c */" << qsizetype(3) << qsizetype(0) << "*" << "a /* b */\r\n/* c */";
    QTest::newRow("closer split by a break") << "/* a */ b" << qsizetype(6) << qsizetype(0) << sep
                                             << "/* a *\r\n/ b";
    QTest::newRow("overlapping markers joined") << "/* /" << qsizetype(2) << qsizetype(1) << ""
                                                << "/*/";
}

void TestTextModel::applyQtChange()
{
    QFETCH(QString, before);
    QFETCH(qsizetype, qtPos);
    QFETCH(qsizetype, qtRemoved);
    QFETCH(QString, qtAdded);
    QFETCH(QString, after);
    TextModel model(before);
    const std::optional<TextModel::Change> change = model.applyQtChange(qtPos, qtRemoved, qtAdded);
    QVERIFY(change);
    QCOMPARE(model.text(), after);
    // The change names what was replaced, in CR LF offsets.
    QCOMPARE(before.left(change->from) + after.mid(change->from, change->added)
                 + before.mid(change->from + change->removed),
             after);
    // The line index and the comment markers must be what a fresh build gives.
    const TextModel fresh(after);
    QCOMPARE(model.lineCount(), fresh.lineCount());
    for (int i = 0; i < fresh.lineCount(); ++i)
        QCOMPARE(model.lineStart(i), fresh.lineStart(i));
    QCOMPARE(model.qtLength(), fresh.qtLength());
    QCOMPARE(model.commentMarkers().opens, fresh.commentMarkers().opens);
    QCOMPARE(model.commentMarkers().closes, fresh.commentMarkers().closes);
}

void TestTextModel::applyQtChangeRejectsWhatDoesNotFit_data()
{
    QTest::addColumn<qsizetype>("qtPos");
    QTest::addColumn<qsizetype>("qtRemoved");
    // "ab" CR LF "c": three Qt characters and a break, qtLength 4
    QTest::newRow("negative position") << qsizetype(-1) << qsizetype(0);
    QTest::newRow("negative count") << qsizetype(0) << qsizetype(-1);
    QTest::newRow("removal past the end") << qsizetype(2) << qsizetype(3);
    QTest::newRow("position past the end") << qsizetype(5) << qsizetype(0);
}

void TestTextModel::applyQtChangeRejectsWhatDoesNotFit()
{
    QFETCH(qsizetype, qtPos);
    QFETCH(qsizetype, qtRemoved);
    TextModel model(QStringLiteral("ab\r\nc"));
    QVERIFY(!model.applyQtChange(qtPos, qtRemoved, QStringLiteral("x")));
    QCOMPARE(model.text(), QStringLiteral("ab\r\nc"));
    // The last character is within reach: a removal that ends at the text end fits.
    QVERIFY(model.applyQtChange(3, 1, QString()));
    QCOMPARE(model.text(), QStringLiteral("ab\r\n"));
}

void TestTextModel::crLfTextIsNotCopied()
{
    // A large sheet is held once: a text already in CR LF form shares its characters.
    const QString crLf = QStringLiteral("a {\r\n}\r\n");
    QCOMPARE(TextModel::toCrLf(crLf).constData(), crLf.constData());
    const TextModel model(crLf);
    QCOMPARE(model.text().constData(), crLf.constData());
    const QString lf = QStringLiteral("a {\n}\r\n");
    QCOMPARE(TextModel::toCrLf(lf), QStringLiteral("a {\r\n}\r\n"));
    QVERIFY(TextModel::toCrLf(lf).constData() != lf.constData());
}

void TestTextModel::editedRangeHoldsEveryChange_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= 6; ++seed)
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
}

void TestTextModel::editedRangeHoldsEveryChange()
{
    // Random edits gathered one after the other: outside the range the text must be
    // the one before the first edit, before it as it was, after it moved by delta.
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    const QString alphabet = QStringLiteral("ab{}/*\n ");
    QString start;
    for (int i = 0; i < 60; ++i)
        start += alphabet[random.bounded(int(alphabet.size()))];
    TextModel model(start);
    const QString original = model.text();
    EditedRange range;
    for (int round = 0; round < 30; ++round) {
        const qsizetype qtPos = random.bounded(int(model.qtLength()) + 1);
        const qsizetype qtRemoved = random.bounded(int(model.qtLength() - qtPos) + 1) / 3;
        QString added;
        for (int i = random.bounded(6); i > 0; --i)
            added += alphabet[random.bounded(int(alphabet.size()))];
        const std::optional<TextModel::Change> change = model.applyQtChange(qtPos, qtRemoved, added);
        QVERIFY(change);
        range.add(*change);
        const QString &now = model.text();
        QVERIFY(range.any);
        QCOMPARE(range.delta, now.size() - original.size());
        QVERIFY(range.from <= range.to && range.to <= now.size());
        QCOMPARE(now.left(range.from), original.left(range.from));
        QCOMPARE(now.mid(range.to), original.mid(range.to - range.delta));
    }
}

QTEST_APPLESS_MAIN(TestTextModel)
#include "tst_textmodel.moc"
