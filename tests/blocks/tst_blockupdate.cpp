#include "blocks/root.h"
#include "blocks/scanner.h"
#include "support/blocklists.h"
#include "support/files.h"
#include "support/literalrules.h"
#include "text/editedrange.h"
#include "text/textmodel.h"

#include <QRandomGenerator>
#include <QTest>

using namespace sheetsmith;

namespace {


// Replaces `removed` characters at the CR LF offset `from` by `added` (CR LF breaks),
// as the editor's document reports such an edit.
TextModel::Change edit(TextModel &model, qsizetype from, qsizetype removed, const QString &added)
{
    const qsizetype qtFrom = model.toQtPosition(from);
    const qsizetype qtRemoved = model.toQtPosition(from + removed) - qtFrom;
    QString qtAdded = added;
    qtAdded.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const std::optional<TextModel::Change> change = model.applyQtChange(qtFrom, qtRemoved, qtAdded);
    return change.value_or(TextModel::Change{});
}

struct Edit
{
    qsizetype from;
    qsizetype removed;
    QString added;
};

} // namespace

Q_DECLARE_METATYPE(QList<Edit>)

class TestBlockUpdate : public QObject
{
    Q_OBJECT

private slots:
    void updateGivesWhatARescanGives_data();
    void updateGivesWhatARescanGives();
    void updateOfSamplesAfterRandomEdits_data();
    void updateOfSamplesAfterRandomEdits();
    void typingInsideABlockReplacesFewBlocks();
    void splicesInARowComposeIntoOne_data();
    void splicesInARowComposeIntoOne();
    void aSpliceThatChangesNothingTakesNothingIn();
    void rootSpliceMovesLaterBlocksAndTheirKeys();
};

void TestBlockUpdate::updateGivesWhatARescanGives_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QList<Edit>>("edits");

    const QString rules = QStringLiteral("h1 {\r\n  color: red;\r\n}\r\n.a { x }\r\n#b {\r\n}\r\n");
    QTest::newRow("typing in a declaration") << rules << QList<Edit>{{10, 0, "x"}};
    QTest::newRow("renaming a selector") << rules << QList<Edit>{{27, 2, ".note"}};
    QTest::newRow("a new rule") << rules << QList<Edit>{{25, 0, "p { }\r\n"}};
    QTest::newRow("a brace removed: the block before takes the next one")
        << rules << QList<Edit>{{23, 1, ""}};
    QTest::newRow("a closing brace typed ends open blocks far before it")
        << QStringLiteral("a {\r\nb {\r\nc {\r\nx\r\ny\r\n") << QList<Edit>{{21, 0, "}"}};
    QTest::newRow("the only closing brace removed: every end becomes 0")
        << QStringLiteral("a {\r\nb {\r\n\r\n}") << QList<Edit>{{12, 1, ""}};
    QTest::newRow("a closing brace commented out on its line")
        << rules << QList<Edit>{{23, 0, "/*"}};
    QTest::newRow("an opening brace commented out on its line")
        << rules << QList<Edit>{{3, 0, "/* "}};
    QTest::newRow("a comment closed before the brace again")
        << QStringLiteral("/* a { */\r\nb { }") << QList<Edit>{{7, 2, ""}, {3, 0, "*/"}};
    QTest::newRow("two lines joined") << rules << QList<Edit>{{4, 2, ""}};
    QTest::newRow("a selector line split") << rules << QList<Edit>{{1, 0, "\r\n"}};
    QTest::newRow("no closing brace before the edit")
        << QStringLiteral("a {\r\nb {\r\nc") << QList<Edit>{{11, 0, " {"}};
    QTest::newRow("at the very start") << rules << QList<Edit>{{0, 0, "p {}\r\n"}};
    QTest::newRow("at the very end, a rule without a break") << rules << QList<Edit>{{42, 0, "q {"}};
    QTest::newRow("the whole text replaced") << rules << QList<Edit>{{0, 42, "x { y }"}};
    QTest::newRow("two rules on one line, the first selector edited")
        << QStringLiteral("a {x} b {y}\r\nc {}") << QList<Edit>{{0, 1, "em"}};
    QTest::newRow("edits at both ends gathered")
        << rules << QList<Edit>{{40, 0, "}"}, {0, 0, "z {"}, {20, 3, ""}};
    QTest::newRow("an edit inside text removed by an earlier one")
        << rules << QList<Edit>{{5, 20, "{{"}, {6, 1, "}"}};
}

void TestBlockUpdate::updateGivesWhatARescanGives()
{
    QFETCH(QString, before);
    QFETCH(QList<Edit>, edits);
    TextModel model(before);
    Root blocks;
    ScanBlocks(model, ElementNames(), blocks);
    EditedRange edited;
    for (const Edit &e : edits)
        edited.add(edit(model, e.from, e.removed, e.added));
    UpdateBlocks(model, ElementNames(), blocks, edited);
    QCOMPARE(describeBlocks(blocks), scannedBlocks(model));
}

void TestBlockUpdate::updateOfSamplesAfterRandomEdits_data()
{
    addCorpusRows();
}

void TestBlockUpdate::updateOfSamplesAfterRandomEdits()
{
    // Rounds of one to three random edits made of the characters the rules look at,
    // each round followed by an update that must give what a whole rescan gives.
    QFETCH(QString, path);
    TextModel model(editorText(path));
    Root blocks;
    ScanBlocks(model, ElementNames(), blocks);
    QRandomGenerator random(quint32(qHash(path)));
    const QStringList pieces = {"{", "}", "/*", "*/", "\r\n", "a", " ", ".x", "#y", "p {", "} q {", ";"};
    for (int round = 0; round < 25; ++round) {
        EditedRange edited;
        for (int e = random.bounded(1, 4); e > 0; --e) {
            const qsizetype at = random.bounded(int(model.length()) + 1);
            const qsizetype removed = std::min<qsizetype>(random.bounded(12), model.length() - at);
            QString added;
            for (int p = random.bounded(4); p > 0; --p)
                added += pieces[random.bounded(int(pieces.size()))];
            // An edit never splits a break: its ends are moved off an LF.
            const auto offBreak = [&model](qsizetype o) {
                return o > 0 && o < model.length() && model.text()[o] == u'\n' ? o + 1 : o;
            };
            const qsizetype from = offBreak(at);
            const qsizetype to = std::max(from, offBreak(at + removed));
            edited.add(edit(model, from, to - from, added));
        }
        UpdateBlocks(model, ElementNames(), blocks, edited);
        const QStringList expected = scannedBlocks(model);
        if (describeBlocks(blocks) != expected)
            QCOMPARE(describeBlocks(blocks), expected); // shows the first difference
    }
}

void TestBlockUpdate::typingInsideABlockReplacesFewBlocks()
{
    // The point of the update: a keystroke in a declaration of a large sheet scans a
    // handful of blocks, not the sheet.
    QString text;
    for (int i = 0; i < 2000; ++i)
        text += QStringLiteral(".r%1 {\r\n  color: red;\r\n}\r\n").arg(i);
    TextModel model(text);
    Root blocks;
    ScanBlocks(model, ElementNames(), blocks);
    const qsizetype at = model.lineStart(3001) + 4;
    EditedRange edited;
    edited.add(edit(model, at, 0, QStringLiteral("x")));
    const BlockSplice splice = UpdateBlocks(model, ElementNames(), blocks, edited);
    QCOMPARE(splice.first, 1000);
    QVERIFY2(splice.removed <= 2 && splice.added == splice.removed,
             qPrintable(QStringLiteral("%1 removed, %2 added").arg(splice.removed).arg(splice.added)));
    QCOMPARE(describeBlocks(blocks), scannedBlocks(model));
}

void TestBlockUpdate::splicesInARowComposeIntoOne_data()
{
    QTest::addColumn<int>("firstAt");
    QTest::addColumn<int>("firstRemoved");
    QTest::addColumn<int>("firstAdded");
    QTest::addColumn<int>("nextAt");
    QTest::addColumn<int>("nextRemoved");
    QTest::addColumn<int>("nextAdded");

    QTest::newRow("second after the first") << 2 << 1 << 3 << 8 << 2 << 0;
    QTest::newRow("second before the first") << 6 << 2 << 1 << 1 << 1 << 2;
    QTest::newRow("second inside what the first added") << 3 << 0 << 4 << 4 << 2 << 1;
    QTest::newRow("second covering the first") << 4 << 1 << 1 << 2 << 6 << 0;
    QTest::newRow("both empty") << 5 << 0 << 0 << 5 << 0 << 0;
}

void TestBlockUpdate::splicesInARowComposeIntoOne()
{
    // Lists of numbered items: items the composed splice keeps must be where the two
    // splices in turn put them.
    QFETCH(int, firstAt);
    QFETCH(int, firstRemoved);
    QFETCH(int, firstAdded);
    QFETCH(int, nextAt);
    QFETCH(int, nextRemoved);
    QFETCH(int, nextAdded);
    QList<int> start;
    for (int i = 0; i < 12; ++i)
        start << i;
    const auto apply = [](QList<int> list, const BlockSplice &s, int mark) {
        list.remove(s.first, s.removed);
        for (qsizetype i = 0; i < s.added; ++i)
            list.insert(s.first + i, mark);
        return list;
    };
    const BlockSplice first{firstAt, firstRemoved, firstAdded};
    const BlockSplice next{nextAt, nextRemoved, nextAdded};
    const QList<int> stepwise = apply(apply(start, first, -1), next, -2);
    const BlockSplice both = first.then(next);
    QCOMPARE(start.size() - both.removed + both.added, stepwise.size());
    QCOMPARE(start.mid(0, both.first), stepwise.mid(0, both.first));
    QCOMPARE(start.mid(both.first + both.removed), stepwise.mid(both.first + both.added));
}

void TestBlockUpdate::aSpliceThatChangesNothingTakesNothingIn()
{
    // The tree is told what changed since it was last brought up to date, starting from
    // "nothing" at the list's start: an edit near the end of a long sheet must not
    // become a change of every block before it.
    const auto same = [](const BlockSplice &a, const BlockSplice &b) {
        return a.first == b.first && a.removed == b.removed && a.added == b.added;
    };
    QVERIFY(same(BlockSplice{}.then({9000, 1, 2}), {9000, 1, 2}));
    QVERIFY(same(BlockSplice{40, 3, 1}.then({7, 0, 0}), {40, 3, 1}));
    QVERIFY(same(BlockSplice{}.then({}), {}));
}

void TestBlockUpdate::rootSpliceMovesLaterBlocksAndTheirKeys()
{
    Root root;
    root.Add(QStringLiteral("a"), QStringLiteral("Class"), 5, 0, QStringLiteral("ka"));
    root.Add(QStringLiteral("b"), QStringLiteral("Class"), 0, 10, QStringLiteral("kb"));
    root.Add(QStringLiteral("c"), QStringLiteral("Class"), 25, 20, QStringLiteral("kc"));
    // One block gives way to two; the later ones move, an end of 0 stays 0.
    std::vector<ItmClass> added{{QStringLiteral("x"), QStringLiteral("ID"), 3, 0},
                                {QStringLiteral("y"), QStringLiteral("ID"), 6, 4}};
    root.Splice(0, 1, std::move(added), 2);
    QCOMPARE(describeBlocks(root),
             QStringList({"x|ID|0|3", "y|ID|4|6", "b|Class|12|0", "c|Class|22|27"}));
    QVERIFY_THROWS_EXCEPTION(Root::Error, root.Item(QStringLiteral("ka")));
    QCOMPARE(root.Item(QStringLiteral("kb")).ID(), QStringLiteral("b"));
    QCOMPARE(root.Item(QStringLiteral("kc")).ID(), QStringLiteral("c"));
    root.Remove(QStringLiteral("kb"));
    QCOMPARE(root.Item(QStringLiteral("kc")).Begins(), 22);
    // A range reaching past the list is cut to it.
    root.Splice(2, 5, {}, 0);
    QCOMPARE(describeBlocks(root), QStringList({"x|ID|0|3", "y|ID|4|6"}));
}

QTEST_APPLESS_MAIN(TestBlockUpdate)
#include "tst_blockupdate.moc"
