#include "support/soakdriver.h"

#include "app/editorcompleter.h"
#include "app/form1.h"
#include "preview/frmpreview.h"
#include "blocks/scanner.h"
#include "blocks/selectortree.h"
#include "blocks/selectortreemodel.h"
#include "editor/colouringrules.h"
#include "editor/qtcolour.h"
#include "editor/richedit.h"
#include "inspector/blockvalues.h"
#include "check/checkschedule.h"
#include "check/sheetcheck.h"
#include "support/blocklists.h"
#include "support/files.h"
#include "support/windowfixture.h"
#include "text/documentfile.h"

#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QRegularExpression>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTreeWidget>

#include <cstdio>

namespace sheetsmith {

namespace {

// The editor's document in the text model's form.
QString documentText(const RichEdit &editor)
{
    return TextModel::toCrLf(editor.document()->toRawText().replace(QChar(0x2029), u'\n'));
}

bool isAscii(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

template <typename T>
T *shown(const Form1 &window, const char *name)
{
    T *widget = window.findChild<T *>(QLatin1String(name));
    return widget && widget->isVisible() ? widget : nullptr;
}

// The author works in the main window: a click there, or on its taskbar entry, makes it
// the active one again after the preview window took the activation (the offscreen
// platform also leaves it with a popup once hidden). Focus moves then happen as on a
// desktop.
void activate(QWidget &window)
{
    if (QApplication::activeWindow() == &window)
        return;
    window.activateWindow();
    // The main window counts as active while its tool window (the preview) is: wait for
    // the activation itself.
    (void)QTest::qWaitFor([&window] { return QApplication::activeWindow() == &window; }, 1000);
}

const char *const kChangedElsewhere = "\r\n/* changed by another program */\r\n";

} // namespace

SoakDriver::SoakDriver(WindowFixture &fixture, quint32 seed) : m_fixture(fixture), m_random(seed)
{
    // Pastes and typing take their text from the opening sheet, in plain ASCII so that
    // a save never has to change the file's encoding (which says so in a message).
    const QStringList lines = fixture.editor().text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        if (isAscii(line) && line.size() < 400)
            m_pieces << line;
        if (m_pieces.size() == 400)
            break;
    }
    m_pieces << QStringLiteral("{") << QStringLiteral("}") << QStringLiteral("/*") << QStringLiteral("*/")
             << QStringLiteral("colr: red;") << QStringLiteral("P { margin: 0 }") << QStringLiteral("/*/");
    documentLoaded();
}

void SoakDriver::documentLoaded()
{
    m_sinceOpening = 0;
    m_opening = m_fixture.editor().text();
}

QString SoakDriver::piece()
{
    return m_pieces[m_random.bounded(int(m_pieces.size()))];
}

void SoakDriver::caretTo()
{
    RichEdit &editor = m_fixture.editor();
    const int line = m_random.bounded(editor.lineCount());
    const qsizetype start = editor.lineIndex(line);
    editor.setSelStart(start + m_random.bounded(int(editor.lineLength(start)) + 1));
}

QString SoakDriver::step()
{
    static const bool trace = qEnvironmentVariableIsSet("SHEETSMITH_SOAK_TRACE");
    const QString what = act();
    // A crash prints no failure message: with the trace on, every step is told as it
    // ends.
    if (trace)
        std::fprintf(stderr, "soak step: %s\n", qPrintable(what));
    // Between two things a person does, the event loop runs: what a step queued (the
    // activation a closed window hands back, a deferred drop-down) happens before the
    // next one.
    QCoreApplication::processEvents();
    m_done << what;
    ++m_sinceOpening;
    if (m_done.size() > 40)
        m_done.removeFirst();
    settle();
    return what;
}

void SoakDriver::settle()
{
    // On to a line other than the one the window last saw the caret on, with nothing
    // selected: the window catches up.
    Form1 &window = m_fixture.window();
    RichEdit &editor = m_fixture.editor();
    m_blocksBefore = window.Blocks();
    const int last = window.PrevLine() - 1;
    if (editor.lineCount() > 1) {
        m_lineLeft = last;
        editor.setSelStart(editor.lineIndex(last > 0 ? last - 1 : 1));
    } else {
        m_lineLeft = -1;
        window.runCommand(QStringLiteral("Refresh"));
    }
}

QString SoakDriver::act()
{
    Form1 &window = m_fixture.window();
    RichEdit &editor = m_fixture.editor();
    activate(window);
    switch (m_random.bounded(32)) {
    case 0:
    case 1:
    case 2: {
        caretTo();
        const QString typed = piece().left(m_random.bounded(1, 12));
        QTest::keyClicks(&editor, typed);
        return QStringLiteral("type \"%1\"").arg(typed);
    }
    case 3:
        caretTo();
        QTest::keyClick(&editor, Qt::Key_Return);
        return QStringLiteral("Enter");
    case 4:
    case 5: {
        caretTo();
        const int length = m_random.bounded(60);
        editor.setSelLength(length);
        QTest::keyClick(&editor, m_random.bounded(2) ? Qt::Key_Backspace : Qt::Key_Delete);
        return QStringLiteral("delete %1").arg(length);
    }
    case 6: {
        caretTo();
        const int length = m_random.bounded(300);
        editor.setSelLength(length);
        window.runCommand(QStringLiteral("Cut"));
        return QStringLiteral("Cut %1").arg(length);
    }
    case 7: {
        caretTo();
        const QString pasted = piece() + QStringLiteral("\n") + piece();
        QGuiApplication::clipboard()->setText(pasted);
        window.runCommand(QStringLiteral("Paste"));
        return QStringLiteral("paste %1 characters").arg(pasted.size());
    }
    case 8:
    case 9:
    case 10:
        window.runCommand(QStringLiteral("Undo"));
        return QStringLiteral("Undo");
    case 11:
        window.runCommand(QStringLiteral("Redo"));
        return QStringLiteral("Redo");
    case 12: {
        caretTo();
        editor.setSelLength(m_random.bounded(200));
        static const char *const commands[] = {"Indent", "Outdent", "Comment"};
        const QString command = QString::fromLatin1(commands[m_random.bounded(3)]);
        window.runCommand(command);
        return command;
    }
    case 13:
        caretTo();
        window.runCommand(m_random.bounded(2) ? QStringLiteral("NextBlock") : QStringLiteral("PrevBlock"));
        return QStringLiteral("next or previous block");
    case 14:
        if (m_random.bounded(4) == 0) {
            window.runCommand(QStringLiteral("Format"));
            return QStringLiteral("Format Sheet");
        }
        window.runCommand(QStringLiteral("Refresh"));
        return QStringLiteral("Refresh");
    case 15: {
        SelectorTree *tree = window.Tv();
        const int count = tree->selectorModel()->nodeCount();
        if (count == 0)
            return QStringLiteral("no tree node to jump to");
        const QModelIndex node = tree->indexOfNode(m_random.bounded(count) + 1);
        tree->setCurrentIndex(node);
        emit tree->clicked(node);
        return QStringLiteral("tree jump");
    }
    case 16: {
        answerSaveDialogIfUntitled();
        if (!window.Save())
            return QStringLiteral("wrong: Save failed");
        const ReadResult read = decodeDocument(readBytes(window.DocPath()));
        if (read.text != editor.text())
            return QStringLiteral("wrong: the saved file does not read back as the text");
        return QStringLiteral("Save");
    }
    case 17: {
        // Replace All, from the Find window, which tells how many it made.
        static const char *const pairs[][2] = {{"color", "background-color"}, {"margin", "padding"}, {"px", "em"},
                                               {";", "; "}, {"}", "}\n"}};
        const auto &pair = pairs[m_random.bounded(5)];
        window.runCommand(QStringLiteral("Find"));
        auto *find = window.findChild<QWidget *>(QStringLiteral("FrmFind"));
        find->findChild<QLineEdit *>(QStringLiteral("TxtFind"))->setText(QString::fromLatin1(pair[0]));
        find->findChild<QLineEdit *>(QStringLiteral("TxtReplace"))->setText(QString::fromLatin1(pair[1]));
        m_fixture.dialogs().answerMessage(DialogSeam::Ok);
        find->findChild<QPushButton *>(QStringLiteral("CmdReplaceAll"))->click();
        find->close();
            return QStringLiteral("Replace All %1 by %2").arg(QLatin1String(pair[0]), QLatin1String(pair[1]));
    }
    case 18: {
        // The preview (a recording view) shown or hidden, live preview on or off.
        window.runCommand(QStringLiteral("ShowPreview"));
        // A window shown becomes the active one; the platform tells so a little later,
        // and the author's next click in the main window comes after that.
        if (FrmPreview *preview = window.preview(); preview && preview->isVisible())
            (void)QTest::qWaitForWindowActive(preview, 1000);
        if (auto *live = window.findChild<QAction *>(QStringLiteral("Tb_Live")))
            live->setChecked(m_random.bounded(2) == 0);
        return QStringLiteral("preview shown or hidden, live on or off");
    }
    case 19:
    case 20:
    case 21:
        return inspectorWrite();
    case 22:
    case 23:
        return treeCommand();
    case 24:
        return completion();
    case 25:
        return fileCommand();
    default:
        caretTo();
        return QStringLiteral("caret move");
    }
}

QString SoakDriver::inspectorWrite()
{
    Form1 &window = m_fixture.window();
    RichEdit &editor = m_fixture.editor();
    caretTo();
    auto *list = window.findChild<QTreeWidget *>(QStringLiteral("LstP"));
    const int row = m_random.bounded(list->topLevelItemCount());
    const QString property = list->topLevelItem(row)->text(0);
    const QModelIndex cell = list->model()->index(row, 1);
    list->scrollTo(cell);
    // A click gives the list the focus on a desktop; a synthetic one does not.
    list->setFocus(Qt::MouseFocusReason);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(cell).center());
    const bool cancel = m_random.bounded(5) == 0;
    const auto typeInto = [&](QLineEdit *box, const QString &text) {
        box->clear();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, cancel ? Qt::Key_Escape : Qt::Key_Return);
    };
    QString how;
    if (auto *comP = shown<QComboBox>(window, "ComP")) {
        if (!QTest::qWaitFor([comP] { return comP->view()->isVisible(); }, 2000))
            return QStringLiteral("wrong: the drop-down of %1 did not open").arg(property);
        const int index = m_random.bounded(comP->count());
        const QString entry = comP->itemText(index);
        how = entry;
        if (entry == u"<color>") {
            if (cancel)
                m_fixture.dialogs().cancelColour();
            else
                m_fixture.dialogs().answerColour(
                    QColor(m_random.bounded(256), m_random.bounded(256), m_random.bounded(256)));
        } else if (entry == u"<url>") {
            if (cancel)
                m_fixture.dialogs().cancelFile();
            else
                m_fixture.dialogs().answerFile(QDir(m_fixture.folder()).filePath(QStringLiteral("img/logo %1.png").arg(index)));
        }
        comP->view()->setCurrentIndex(comP->model()->index(index, 0));
        QTest::keyClick(comP->view(), Qt::Key_Return);
        if (auto *txtLength = shown<QLineEdit>(window, "TxtLength")) {
            auto *unit = window.findChild<QComboBox *>(QStringLiteral("ComLength"));
            unit->setCurrentIndex(m_random.bounded(unit->count()));
            typeInto(txtLength, QString::number(m_random.bounded(40)) + (m_random.bounded(2) ? QStringLiteral(".5") : QString()));
        } else if (auto *txtPercent = shown<QLineEdit>(window, "TxtPercent")) {
            typeInto(txtPercent, QString::number(m_random.bounded(150)));
        } else if (shown<QComboBox>(window, "ComP")) {
            // A cancelled image choice leaves the drop-down open.
            QTest::keyClick(comP, Qt::Key_Escape);
        }
    } else if (auto *txtP = shown<QLineEdit>(window, "TxtP")) {
        static const char *const values[] = {"1em", "bold", "red", "0 auto", "url(a.png) no-repeat", "", "12px/1.5 serif"};
        how = QString::fromLatin1(values[m_random.bounded(7)]);
        typeInto(txtP, how);
    } else if (auto *fonts = shown<QListWidget>(window, "LstFont")) {
        for (int i = m_random.bounded(1, 3); i > 0; --i) {
            QListWidgetItem *item = fonts->item(m_random.bounded(qMin(8, fonts->count())));
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        }
        how = window.findChild<QLineEdit *>(QStringLiteral("TxtFontList"))->text();
        // The picker is committed by the next press on the list (here on a property's
        // name, which opens nothing) or when the text takes the focus back.
        if (m_random.bounded(2)) {
            const QModelIndex name = list->model()->index(m_random.bounded(list->topLevelItemCount()), 0);
            list->scrollTo(name);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(name).center());
        } else {
            editor.setFocus();
        }
    } else {
        return QStringLiteral("wrong: a click on the value of %1 opened no editor").arg(property);
    }
    for (const char *name : {"ComP", "TxtP", "FrLength", "FrPercent", "LstFont"}) {
        if (shown<QWidget>(window, name))
            return QStringLiteral("wrong: %1 stayed open after writing %2").arg(QLatin1String(name), property);
    }
    return QStringLiteral("inspector %1 %2 \"%3\"").arg(cancel ? QStringLiteral("cancels") : QStringLiteral("writes"),
                                                        property, how);
}

QString SoakDriver::treeCommand()
{
    Form1 &window = m_fixture.window();
    RichEdit &editor = m_fixture.editor();
    SelectorTree *tree = window.Tv();
    const int count = tree->selectorModel()->nodeCount();
    const int kind = m_random.bounded(3);
    if (kind == 0 || count == 0) {
        // A new rule, from one of the three panels.
        caretTo();
        static const char *const commands[][2] = {{"NElement", "ComNE"}, {"NClass", "TxtNC"}, {"NID", "TxtNI"}};
        const auto &command = commands[m_random.bounded(3)];
        window.runCommand(QString::fromLatin1(command[0]));
        QWidget *input = shown<QWidget>(window, command[1]);
        if (!input)
            return QStringLiteral("wrong: %1 opened no panel").arg(QLatin1String(command[0]));
        if (auto *names = qobject_cast<QComboBox *>(input))
            names->setCurrentIndex(m_random.bounded(names->count()));
        else
            QTest::keyClicks(input, QStringLiteral("soak%1").arg(m_random.bounded(100)));
        const bool cancel = m_random.bounded(5) == 0;
        QTest::keyClick(input, cancel ? Qt::Key_Escape : Qt::Key_Return);
        return QStringLiteral("%1 %2").arg(QLatin1String(command[0]), cancel ? QStringLiteral("cancelled") : QStringLiteral("added"));
    }
    const int node = m_random.bounded(count) + 1;
    const int block = SelectorTreeModel::blockOfNode(node);
    tree->setCurrentIndex(tree->indexOfNode(node));
    if (kind == 1) {
        // A rule with no closing brace cannot be deleted from the tree, and says so.
        if (block > 0 && block <= window.Blocks().Count()
            && window.Blocks().Item(block).Ends() <= window.Blocks().Item(block).Begins())
            m_fixture.dialogs().answerMessage(DialogSeam::Ok);
        window.runCommand(QStringLiteral("Delete"));
        return QStringLiteral("tree delete node %1").arg(node);
    }
    if (block == 0)
        return QStringLiteral("tree rename of a group: nothing");
    tree->editNode(node);
    auto *label = tree->findChild<QLineEdit *>();
    if (!label)
        return QStringLiteral("wrong: no label editor for node %1").arg(node);
    const QString path = tree->fullPath(tree->indexOfNode(node));
    const QString name = path.startsWith(u'C')   ? QStringLiteral(".renamed%1").arg(m_random.bounded(50))
                         : path.startsWith(u'I') ? QStringLiteral("#renamed%1").arg(m_random.bounded(50))
                                                 : QStringLiteral("EM");
    label->setText(name);
    QTest::keyClick(label, Qt::Key_Return);
    if (!QTest::qWaitFor([label = QPointer<QLineEdit>(label)] { return !label || !label->isVisible(); }, 1000))
        return QStringLiteral("wrong: the label editor of node %1 stayed open").arg(node);
    editor.setFocus();
    return QStringLiteral("tree rename node %1 to %2").arg(node).arg(name);
}

QString SoakDriver::completion()
{
    Form1 &window = m_fixture.window();
    RichEdit &editor = m_fixture.editor();
    auto *completer = window.findChild<EditorCompleter *>();
    // Just after a "{" or a ";", where a declaration starts.
    const QString &text = editor.text();
    qsizetype at = text.indexOf(QRegularExpression(QStringLiteral("[{;]")), m_random.bounded(int(text.size()) + 1));
    if (at < 0)
        at = text.indexOf(u'{');
    editor.setSelStart(at + 1);
    static const char *const prefixes[] = {"marg", "col", "text-al", "font-w", "back", "bord", "disp", "white"};
    const QString typed = QString::fromLatin1(prefixes[m_random.bounded(8)]);
    QTest::keyClicks(&editor, typed);
    if (!completer->isPopupVisible())
        return QStringLiteral("type \"%1\", nothing offered").arg(typed);
    static const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Tab, Qt::Key_Escape, Qt::Key_Down};
    const Qt::Key key = keys[m_random.bounded(4)];
    QTest::keyClick(&editor, key);
    if (key == Qt::Key_Down)
        QTest::keyClick(&editor, Qt::Key_Return);
    // A name with keywords offers them at once; take one of them now and then.
    if (key != Qt::Key_Escape && m_random.bounded(2)
        && QTest::qWaitFor([completer] { return completer->isPopupVisible(); }, 100))
        QTest::keyClick(&editor, Qt::Key_Return);
    return QStringLiteral("complete \"%1\"").arg(typed);
}

void SoakDriver::answerSaveDialogIfUntitled()
{
    // A save of a sheet with no file yet asks for a name.
    if (m_fixture.window().DocPath().isEmpty())
        m_fixture.dialogs().answerFile(QDir(m_fixture.folder()).filePath(QStringLiteral("untitled.css")));
}

QString SoakDriver::freshCopy() const
{
    const QDir folder(m_fixture.folder());
    QString path = folder.filePath(QStringLiteral("fresh-0.css"));
    if (m_fixture.window().DocPath() == path)
        path = folder.filePath(QStringLiteral("fresh-1.css"));
    return writeBytes(path, m_fixedSheet) ? path : QString();
}

QString SoakDriver::reopen()
{
    Form1 &window = m_fixture.window();
    const QString path = freshCopy();
    if (path.isEmpty())
        return QStringLiteral("the fresh copy could not be written");
    if (m_fixture.editor().text() != window.SavedText())
        m_fixture.dialogs().answerMessage(DialogSeam::No);
    const QString problem = openThroughCommand(path, DialogSeam::No);
    if (!problem.isEmpty())
        return problem;
    QCoreApplication::processEvents();
    settle();
    return QString();
}

QString SoakDriver::openThroughCommand(const QString &path, int answer)
{
    Form1 &window = m_fixture.window();
    if (answer != DialogSeam::Cancel)
        m_fixture.dialogs().answerFile(path);
    window.runCommand(QStringLiteral("Open"));
    if (answer == DialogSeam::Cancel)
        return QString();
    if (window.DocPath() != path)
        return QStringLiteral("Open did not open %1").arg(path);
    documentLoaded();
    return QString();
}

QString SoakDriver::fileCommand()
{
    Form1 &window = m_fixture.window();
    RichEdit &editor = m_fixture.editor();
    ScriptedDialogs &dialogs = m_fixture.dialogs();
    const QDir folder(m_fixture.folder());
    const bool changed = editor.text() != window.SavedText();
    // The Yes of a question about unsaved changes saves, through the save dialog when the
    // document has no file yet.
    const auto answerSaveQuestion = [&](int answer) {
        dialogs.answerMessage(answer);
        if (answer == DialogSeam::Yes)
            answerSaveDialogIfUntitled();
    };
    static const int answers[] = {DialogSeam::Yes, DialogSeam::No, DialogSeam::Cancel};
    int command = int(m_random.bounded(4));
    // On a fixed sheet, New and Open both open a fresh copy of it.
    if (!m_fixedSheet.isEmpty() && command == 0)
        command = 1;
    switch (command) {
    case 0: {
        const int answer = answers[m_random.bounded(3)];
        answerSaveQuestion(answer);
        window.runCommand(QStringLiteral("New"));
        if (answer != DialogSeam::Cancel) {
            if (!editor.text().isEmpty())
                return QStringLiteral("wrong: New left text");
            documentLoaded();
        }
        return QStringLiteral("New, answered %1").arg(answer);
    }
    case 1: {
        // One of the sheets saved in the folder so far, or a fresh copy of the fixed
        // sheet under a name other than the document's own (a Yes to the save question
        // writes that one).
        QString path;
        if (m_fixedSheet.isEmpty()) {
            const QStringList sheets = folder.entryList({QStringLiteral("*.css")}, QDir::Files, QDir::Name);
            path = folder.filePath(sheets[m_random.bounded(int(sheets.size()))]);
        } else {
            path = freshCopy();
            if (path.isEmpty())
                return QStringLiteral("wrong: the fresh copy could not be written");
        }
        int answer = DialogSeam::No;
        if (changed) {
            answer = answers[m_random.bounded(3)];
            answerSaveQuestion(answer);
        }
        const QString problem = openThroughCommand(path, answer);
        if (!problem.isEmpty())
            return QStringLiteral("wrong: ") + problem;
        return QStringLiteral("Open %1").arg(QFileInfo(path).fileName());
    }
    case 2: {
        // A few names in turn, so that a long session does not fill the disk.
        const QString path = folder.filePath(QStringLiteral("saved-%1.css").arg(m_files++ % 4));
        dialogs.answerFile(path);
        if (!window.SaveAs())
            return QStringLiteral("wrong: Save As failed");
        if (window.DocPath() != path || decodeDocument(readBytes(path)).text != editor.text())
            return QStringLiteral("wrong: Save As did not write the text to %1").arg(path);
        return QStringLiteral("Save As %1").arg(QFileInfo(path).fileName());
    }
    default: {
        // Saved, then changed by another program: the window offers to read it in.
        answerSaveDialogIfUntitled();
        if (!window.Save())
            return QStringLiteral("wrong: Save failed");
        const QString expected = editor.text() + QLatin1String(kChangedElsewhere);
        if (!writeBytes(window.DocPath(), readBytes(window.DocPath()) + kChangedElsewhere))
            return QStringLiteral("wrong: the file could not be changed");
        dialogs.answerMessage(DialogSeam::Yes);
        QEvent activation(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&window, &activation);
        if (editor.text() != expected)
            return QStringLiteral("wrong: the reload did not read the changed file in");
        documentLoaded();
        return QStringLiteral("reload");
    }
    }
}

QString SoakDriver::valueDisagreement() const
{
    // The catching-up loads the Value column from the block that held the caret in the
    // blocks as they were before it, when there were any.
    if (m_lineLeft < 0 || m_blocksBefore.Count() == 0)
        return QString();
    const Form1 &window = m_fixture.window();
    const RichEdit &editor = m_fixture.editor();
    const qsizetype current = m_blocksBefore.FindCurrentBlock(editor.selStart());
    const auto *list = window.findChild<QTreeWidget *>(QStringLiteral("LstP"));
    const std::array<QString, CataloguePropertyCount> &names = window.catalogue().PropName;
    for (int r = 0; r < list->topLevelItemCount(); ++r) {
        const std::optional<QString> value =
            current == -1 ? std::nullopt : DeclaredValue(editor.model(), m_blocksBefore.Item(current), names[size_t(r)]);
        const QTreeWidgetItem *row = list->topLevelItem(r);
        const QColor colour = value ? QColor(128, 0, 0) : QColor(0, 0, 0);
        if (row->text(1) != value.value_or(QString()) || row->foreground(1).color() != colour)
            return QStringLiteral("the Value of %1 is \"%2\" (%3), the block gives \"%4\"")
                .arg(names[size_t(r)], row->text(1), row->foreground(1).color().name(), value.value_or(QStringLiteral("nothing")));
    }
    return QString();
}

QString SoakDriver::colourDisagreement() const
{
    const RichEdit &editor = m_fixture.editor();
    const Colouriser &colouriser = m_fixture.window().colouriser();
    const QString &text = editor.text();
    // The line the caret left has the line colouring of its text now.
    if (m_lineLeft >= 0 && m_lineLeft < editor.lineCount() && !editor.lineText(m_lineLeft).isEmpty()) {
        const QString line = editor.lineText(m_lineLeft);
        const qsizetype start1 = editor.lineIndex(m_lineLeft) + 1;
        const qsizetype lastStart = start1 + line.size() - 3; // the last marker wholly on the line
        const TextColours colours{colouriser.SelectorColourValue(), colouriser.BracketColourValue(),
                                  colouriser.CommentColourValue()};
        // (A negative start would make lastIndexOf search from the end.)
        const auto last = [&](const char *marker) {
            return lastStart < 0 ? 0 : text.lastIndexOf(QLatin1String(marker), lastStart) + 1;
        };
        const LineColourPlan plan = PlanTextLine(line, start1, last("/*"), last("*/"), colours);
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (editor.colourAt(start1 - 1 + i) != plan.colours[size_t(i)])
                return QStringLiteral("line %1 left (\"%5\"), column %2: colour %3, its line colouring %4")
                    .arg(m_lineLeft + 1)
                    .arg(i + 1)
                    .arg(editor.colourAt(start1 - 1 + i))
                    .arg(plan.colours[size_t(i)])
                    .arg(line.left(80));
        }
        if (plan.breakColour && m_lineLeft + 1 < editor.lineCount()
            && editor.colourAt(start1 - 1 + line.size()) != *plan.breakColour)
            return QStringLiteral("line %1 left: its break is not coloured").arg(m_lineLeft + 1);
    }
    // Every line on screen is painted in the colours the layer holds.
    (void)editor.viewport()->grab();
    const int height = editor.viewport()->height();
    for (QTextBlock block = editor.cursorForPosition(QPoint(0, 0)).block();
         block.isValid() && editor.cursorRect(QTextCursor(block)).top() < height; block = block.next()) {
        std::vector<ColourValue> painted(size_t(block.length() - 1), kAutoColour);
        for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
            if (!range.format.hasProperty(QTextFormat::ForegroundBrush))
                continue;
            for (int i = range.start; i < range.start + range.length && i < int(painted.size()); ++i)
                painted[size_t(i)] = colourFromQColor(range.format.foreground().color());
        }
        const qsizetype start = editor.lineIndex(block.blockNumber());
        for (size_t i = 0; i < painted.size(); ++i) {
            if (painted[i] != editor.colourAt(start + qsizetype(i)))
                return QStringLiteral("line %1, column %2 is painted %3, its colour is %4")
                    .arg(block.blockNumber() + 1)
                    .arg(i + 1)
                    .arg(painted[i])
                    .arg(editor.colourAt(start + qsizetype(i)));
        }
    }
    return QString();
}

QString SoakDriver::disagreement() const
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
    if (const QString wrong = valueDisagreement(); !wrong.isEmpty())
        return wrong;
    if (const QString wrong = colourDisagreement(); !wrong.isEmpty())
        return wrong;
    const auto *problems = window.findChild<CheckSchedule *>();
    if (problems && !problems->isBusy()) {
        const std::vector<Problem> &shown = problems->problems();
        const std::vector<Problem> whole = CheckSheet(model.text(), problems->level());
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
    if (m_fixture.dialogs().pendingAnswers() != 0)
        return QStringLiteral("an answer was ready for a question that never came");
    return QString();
}

QString SoakDriver::undoToOpening()
{
    RichEdit &editor = m_fixture.editor();
    for (int guard = 0; editor.document()->isUndoAvailable() && guard < 1000000; ++guard)
        m_fixture.window().runCommand(QStringLiteral("Undo"));
    const QString &text = editor.text();
    if (text == m_opening)
        return QString();
    qsizetype at = 0;
    while (at < text.size() && at < m_opening.size() && text[at] == m_opening[at])
        ++at;
    return QStringLiteral("Undo all the way does not give the opening text: at %1 it has \"%2\", the opening \"%3\"; "
                          "%4 steps since it was opened: %5")
        .arg(at)
        .arg(text.mid(at, 40), m_opening.mid(at, 40))
        .arg(m_sinceOpening)
        .arg(history());
}

} // namespace sheetsmith
