#include "app/form1.h"
#include "app/problemspanel.h"
#include "blocks/selectortree.h"
#include "blocks/selectortreemodel.h"
#include "editor/richedit.h"
#include "inspector/sheetcheck.h"
#include "support/blocklists.h"
#include "support/files.h"
#include "dialogs/dialogseam.h"
#include "support/windowfixture.h"
#include "text/documentfile.h"

#include <QAction>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <QTextDocument>

using namespace sheetsmith;

// A long mixed session in the real window, driven from a seed: typing, deleting,
// pastes of sample text, Undo and Redo, the block commands, Format Sheet, Refresh,
// Replace All, the preview and live preview, caret moves and saves, each through the entry point the menus and keys use. After
// every step, once the window has caught up, what the window shows must be what a
// fresh reading of the text gives: the text model, the blocks and the tree, the CSS1
// check; no message box the step did not ask for; a save's bytes read back as the
// text. At the end, Undo all the way gives the opening text back.
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
    // One random step; answers what it did, for the failure message.
    QString step(QRandomGenerator &random);
    // What the window shows against a fresh reading of the text; empty when all agree.
    QString disagreement() const;

    WindowFixture m_fixture;
    QStringList m_pieces;
};

namespace {

// The editor's document in the text model's form.
QString documentText(const RichEdit &editor)
{
    return TextModel::toCrLf(editor.document()->toRawText().replace(QChar(0x2029), u'\n'));
}

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

QString TestSoak::step(QRandomGenerator &random)
{
    Form1 &window = m_fixture.window();
    RichEdit &editor = m_fixture.editor();
    const auto piece = [&] { return m_pieces[random.bounded(int(m_pieces.size()))]; };
    const auto caretTo = [&] {
        const int line = random.bounded(editor.lineCount());
        const qsizetype start = editor.lineIndex(line);
        editor.setSelStart(start + random.bounded(int(editor.lineLength(start)) + 1));
    };
    switch (random.bounded(16)) {
    case 0:
    case 1: {
        caretTo();
        const QString typed = piece().left(random.bounded(1, 12));
        QTest::keyClicks(&editor, typed);
        return QStringLiteral("type \"%1\"").arg(typed);
    }
    case 2:
        caretTo();
        QTest::keyClick(&editor, Qt::Key_Return);
        return QStringLiteral("Enter");
    case 3: {
        caretTo();
        const int length = random.bounded(60);
        editor.setSelLength(length);
        QTest::keyClick(&editor, random.bounded(2) ? Qt::Key_Backspace : Qt::Key_Delete);
        return QStringLiteral("delete %1").arg(length);
    }
    case 4: {
        caretTo();
        const QString pasted = piece() + QStringLiteral("\n") + piece();
        QGuiApplication::clipboard()->setText(pasted);
        window.runCommand(QStringLiteral("Paste"));
        return QStringLiteral("paste %1 characters").arg(pasted.size());
    }
    case 5:
    case 6:
        window.runCommand(QStringLiteral("Undo"));
        return QStringLiteral("Undo");
    case 7:
        window.runCommand(QStringLiteral("Redo"));
        return QStringLiteral("Redo");
    case 8: {
        caretTo();
        editor.setSelLength(random.bounded(200));
        static const char *const commands[] = {"Indent", "Outdent", "Comment"};
        const QString command = QString::fromLatin1(commands[random.bounded(3)]);
        window.runCommand(command);
        return command;
    }
    case 9:
        caretTo();
        window.runCommand(random.bounded(2) ? QStringLiteral("NextBlock") : QStringLiteral("PrevBlock"));
        return QStringLiteral("next or previous block");
    case 10:
        if (random.bounded(4) == 0) {
            window.runCommand(QStringLiteral("Format"));
            return QStringLiteral("Format Sheet");
        }
        window.runCommand(QStringLiteral("Refresh"));
        return QStringLiteral("Refresh");
    case 11: {
        // A jump from the tree to a rule.
        SelectorTree *tree = window.Tv();
        const int count = tree->selectorModel()->nodeCount();
        if (count == 0)
            return QStringLiteral("no tree node to jump to");
        const QModelIndex node = tree->indexOfNode(random.bounded(count) + 1);
        tree->setCurrentIndex(node);
        emit tree->clicked(node);
        return QStringLiteral("tree jump");
    }
    case 12: {
        window.Save();
        const ReadResult read = decodeDocument(readBytes(window.DocPath()));
        if (read.text != editor.text())
            return QStringLiteral("Save: the file does not read back as the text");
        return QStringLiteral("Save");
    }
    case 13: {
        // Replace All, from the Find window, which tells how many it made.
        static const char *const pairs[][2] = {{"color", "background-color"}, {"margin", "padding"}, {"px", "em"},
                                               {";", "; "}, {"}", "}\n"}};
        const auto &pair = pairs[random.bounded(5)];
        window.runCommand(QStringLiteral("Find"));
        auto *find = window.findChild<QWidget *>(QStringLiteral("FrmFind"));
        find->findChild<QLineEdit *>(QStringLiteral("TxtFind"))->setText(QString::fromLatin1(pair[0]));
        find->findChild<QLineEdit *>(QStringLiteral("TxtReplace"))->setText(QString::fromLatin1(pair[1]));
        m_fixture.dialogs().answerMessage(DialogSeam::Ok);
        find->findChild<QPushButton *>(QStringLiteral("CmdReplaceAll"))->click();
        find->close();
        return QStringLiteral("Replace All %1 by %2").arg(QLatin1String(pair[0]), QLatin1String(pair[1]));
    }
    case 14: {
        // The preview (a recording view) shown or hidden, live preview on or off.
        window.runCommand(QStringLiteral("ShowPreview"));
        if (auto *live = window.findChild<QAction *>(QStringLiteral("Tb_Live")))
            live->setChecked(random.bounded(2) == 0);
        return QStringLiteral("preview shown or hidden, live on or off");
    }
    default:
        caretTo();
        return QStringLiteral("caret move");
    }
}

QString TestSoak::disagreement() const
{
    Form1 &window = m_fixture.window();
    const RichEdit &editor = m_fixture.editor();
    const TextModel &model = editor.model();
    if (documentText(editor) != model.text())
        return QStringLiteral("the editor's document and its text model differ");
    const QStringList scanned = scannedBlocks(model);
    const QStringList blocks = describeBlocks(window.Blocks());
    if (blocks != scanned) {
        qsizetype i = 0;
        while (i < blocks.size() && i < scanned.size() && blocks[i] == scanned[i])
            ++i;
        return QStringLiteral("the blocks are not a fresh scan's: block %1 is %2, a scan gives %3")
            .arg(i)
            .arg(blocks.value(i), scanned.value(i));
    }
    Root rescanned;
    ScanBlocks(model, ElementNames(), rescanned);
    SelectorTree filled;
    filled.FillTree(rescanned);
    if (treeNodes(*window.Tv()) != treeNodes(filled))
        return QStringLiteral("the tree is not a fresh fill's");
    const auto *problems = window.findChild<ProblemsPanel *>();
    if (problems && !problems->isBusy()) {
        const std::vector<Problem> &shown = problems->problems();
        const std::vector<Problem> whole = CheckSheet(model.text());
        if (shown != whole) {
            std::size_t i = 0;
            while (i < shown.size() && i < whole.size() && shown[i] == whole[i])
                ++i;
            const auto said = [](const std::vector<Problem> &list, std::size_t i) {
                return i < list.size() ? QStringLiteral("%1+%2 %3").arg(list[i].offset).arg(list[i].length).arg(list[i].message)
                                       : QStringLiteral("none");
            };
            return QStringLiteral("the problems are not a whole check's: shown %1, whole %2")
                .arg(said(shown, i), said(whole, i));
        }
    }
    if (!m_fixture.dialogs().unanswered().isEmpty())
        return QStringLiteral("a message nobody asked for: ") + m_fixture.dialogs().unanswered().join(u'|');
    return QString();
}

void TestSoak::mixedSessionKeepsEveryViewTrue()
{
    QFETCH(quint32, seed);
    QFETCH(QString, sheet);
    const QByteArray bytes = readBytes(sheet);
    QVERIFY(m_fixture.open(bytes));
    RichEdit &editor = m_fixture.editor();
    const QString opening = editor.text();
    m_pieces = opening.split(u'\n', Qt::SkipEmptyParts).mid(0, 400);
    m_pieces << QStringLiteral("{") << QStringLiteral("}") << QStringLiteral("/*") << QStringLiteral("*/")
             << QStringLiteral("colr: red;") << QStringLiteral("P { margin: 0 }");

    QRandomGenerator random(seed);
    QStringList done;
    const int steps = stepsPerSeed();
    for (int i = 1; i <= steps; ++i) {
        done << step(random);
        // On to a line other than the one the window last saw the caret on, with nothing
        // selected: the window catches up.
        const int last = m_fixture.window().PrevLine() - 1;
        if (editor.lineCount() > 1)
            editor.setSelStart(editor.lineIndex(last > 0 ? last - 1 : 1));
        else
            m_fixture.window().runCommand(QStringLiteral("Refresh"));
        const QString wrong = disagreement();
        if (!wrong.isEmpty() || done.last().startsWith(u"Save:"))
            QFAIL(qPrintable(QStringLiteral("seed %1, step %2 (%3): %4\nsteps: %5")
                                 .arg(seed)
                                 .arg(i)
                                 .arg(done.last(), wrong.isEmpty() ? done.last() : wrong, done.join(u", ").right(600))));
    }
    // Every step taken back, the opening text is there again.
    for (int guard = 0; editor.document()->isUndoAvailable() && guard < 10 * steps; ++guard)
        m_fixture.window().runCommand(QStringLiteral("Undo"));
    QCOMPARE(editor.text(), opening);
}

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
