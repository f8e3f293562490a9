#include "blocks/frmfind.h"
#include "dialogs/scopeddialogseam.h"
#include "editor/richedit.h"
#include "support/scripteddialogs.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace sheetsmith;

namespace {

const QString kNoResults = QStringLiteral("Search completed with no results!");
const QString kFinished = QStringLiteral("Sheetsmith has finsihed searching the document.");

// An editor in an owner window with the Find and Replace window loaded for it, and
// every message box answered by a script.
class Fixture
{
public:
    explicit Fixture(const QString &text = QString())
        : m_scope(m_dialogs)
    {
        m_owner = std::make_unique<QWidget>();
        editor = new RichEdit(m_owner.get()); // owned by m_owner
        editor->setText(text);
        window = new FrmFind(*editor, m_owner.get()); // owned by m_owner, or deletes itself
        window->show();
    }

    template<typename T>
    T *control(const QString &name) const
    {
        T *w = window ? window->findChild<T *>(name) : nullptr;
        if (!w)
            qWarning("no control %s", qPrintable(name));
        return w;
    }

    // Clicks a button and says what came of it: the text of the message box shown
    // ("no results", "finished", "made N"), or else the editor's selection as
    // "start:length".
    QString press(const QString &button)
    {
        const qsizetype before = m_dialogs.messages().size();
        m_dialogs.answerMessage(DialogSeam::Ok);
        if (QPushButton *b = control<QPushButton>(button))
            b->click();
        return outcomeSince(before);
    }

    QString outcomeSince(qsizetype before) const
    {
        const QList<ScriptedDialogs::Message> &shown = m_dialogs.messages();
        if (shown.size() == before)
            return QStringLiteral("%1:%2").arg(editor->selStart()).arg(editor->selLength());
        if (shown.size() > before + 1)
            return QStringLiteral("%1 message boxes").arg(shown.size() - before);
        const ScriptedDialogs::Message &m = shown.last();
        if (m.title != u"Sheetsmith" || m.owner != window)
            return QStringLiteral("box with title \"%1\" or another owner").arg(m.title);
        if (m.text == kNoResults && m.flags == 48)
            return QStringLiteral("no results");
        if (m.text == kFinished && m.flags == 64)
            return QStringLiteral("finished");
        const QString made = QStringLiteral("Sheetsmith has made ");
        const QString tail = QStringLiteral(" replacement(s).");
        if (m.text.startsWith(made) && m.text.endsWith(tail) && m.flags == 64) {
            const qsizetype digits = m.text.size() - made.size() - tail.size();
            return QStringLiteral("made ") + m.text.mid(made.size(), digits);
        }
        return QStringLiteral("message \"%1\" flags %2").arg(m.text).arg(m.flags);
    }

    // Runs a script of the author's actions; each press adds its outcome.
    //   what:T, with:T   set the "Find what:" / "Replace with:" box
    //   dir:D            choose direction D ("All", "Up", "Down")
    //   case, word       click "Match case" / "Match whole word only"
    //   caret:N, select:N  place the caret in the editor / select N characters from it
    //   find, replace, all  press Find Next / Replace / Replace All
    QStringList run(const QStringList &script)
    {
        QStringList outcomes;
        for (const QString &step : script) {
            const qsizetype colon = step.indexOf(u':');
            const QString op = colon < 0 ? step : step.left(colon);
            const QString arg = colon < 0 ? QString() : step.mid(colon + 1);
            if (op == u"what") {
                control<QLineEdit>(QStringLiteral("TxtFind"))->setText(arg);
            } else if (op == u"with") {
                control<QLineEdit>(QStringLiteral("TxtReplace"))->setText(arg);
            } else if (op == u"dir") {
                QComboBox *combo = control<QComboBox>(QStringLiteral("DCombo"));
                combo->setCurrentIndex(combo->findText(arg));
            } else if (op == u"case") {
                control<QCheckBox>(QStringLiteral("ChkCase"))->click();
            } else if (op == u"word") {
                control<QCheckBox>(QStringLiteral("ChkWholeWord"))->click();
            } else if (op == u"caret") {
                editor->setSelStart(arg.toLongLong());
            } else if (op == u"select") {
                editor->setSelLength(arg.toLongLong());
            } else if (op == u"find") {
                outcomes << press(QStringLiteral("CmdFindNext"));
            } else if (op == u"replace") {
                outcomes << press(QStringLiteral("CmdReplace"));
            } else if (op == u"all") {
                outcomes << press(QStringLiteral("CmdReplaceAll"));
            } else {
                outcomes << QStringLiteral("bad step ") + step;
            }
        }
        return outcomes;
    }

    ScriptedDialogs &dialogs() { return m_dialogs; }
    void destroyEditor()
    {
        delete editor; // a child of m_owner, deleted early on purpose
        editor = nullptr;
    }

    RichEdit *editor = nullptr;
    QPointer<FrmFind> window;

private:
    ScriptedDialogs m_dialogs;
    ScopedDialogSeam m_scope;
    std::unique_ptr<QWidget> m_owner;
};

void addScriptColumns()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("outcomes");
    QTest::addColumn<QString>("after"); // the editor's text at the end
}

// "a|b|c" as a list: scripts and outcomes are written one step per "|".
QStringList steps(const char *list)
{
    return QString::fromUtf8(list).split(u'|', Qt::SkipEmptyParts);
}

void row(const char *name, const QString &text, const char *script, const char *outcomes,
         const QString &after)
{
    QTest::newRow(name) << text << steps(script) << steps(outcomes) << after;
}

// A row whose script only searches: the text must come out unchanged.
void searchRow(const char *name, const QString &text, const char *script, const char *outcomes)
{
    row(name, text, script, outcomes, text);
}

void checkScript()
{
    QFETCH(QString, text);
    QFETCH(QStringList, script);
    QFETCH(QStringList, outcomes);
    QFETCH(QString, after);

    Fixture f(text);
    QCOMPARE(f.run(script), outcomes);
    QCOMPARE(f.editor->text(), after);
}

} // namespace

class TestFrmFind : public QObject
{
    Q_OBJECT

private slots:
    void windowAsLoaded();
    void everyControlHasAnAccessibleName();
    void findNextEnabledOnlyWithText_data();
    void findNextEnabledOnlyWithText();
    void enterPressesFindNext_data();
    void enterPressesFindNext();

    void searchAllAndDown_data();
    void searchAllAndDown() { checkScript(); }
    void searchUp_data();
    void searchUp() { checkScript(); }
    void optionsReachTheSearch_data();
    void optionsReachTheSearch() { checkScript(); }
    void replace_data();
    void replace() { checkScript(); }
    void replaceAll_data();
    void replaceAll() { checkScript(); }

    void showForKeepsOneWindow();
    void closingDestroysTheWindow_data();
    void closingDestroysTheWindow();
    void editorGoneBeforeTheWindow_data();
    void editorGoneBeforeTheWindow();
};

void TestFrmFind::windowAsLoaded()
{
    Fixture f(QStringLiteral("a"));
    QCOMPARE(f.window->objectName(), QStringLiteral("FrmFind"));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Find and Replace"));
    QVERIFY(!f.window->isModal());
    QVERIFY(f.window->newSearch());

    const QList<std::pair<QString, QString>> captions = {
        {QStringLiteral("Label1"), QStringLiteral("Find what:")},
        {QStringLiteral("LblReplace"), QStringLiteral("Replace with:")},
        {QStringLiteral("Label2"), QStringLiteral("Direction:")},
        {QStringLiteral("ChkCase"), QStringLiteral("Match case")},
        {QStringLiteral("ChkWholeWord"), QStringLiteral("Match whole word only")},
        {QStringLiteral("CmdFindNext"), QStringLiteral("Find Next")},
        {QStringLiteral("CmdClose"), QStringLiteral("Close")},
        {QStringLiteral("CmdReplace"), QStringLiteral("Replace")},
        {QStringLiteral("CmdReplaceAll"), QStringLiteral("Replace All")},
        {QStringLiteral("TxtFind"), QString()},
        {QStringLiteral("TxtReplace"), QString()},
    };
    for (const auto &[name, caption] : captions) {
        QWidget *w = f.control<QWidget>(name);
        QVERIFY2(w, qPrintable(name));
        QCOMPARE(w->property("text").toString(), caption);
    }

    QComboBox *combo = f.control<QComboBox>(QStringLiteral("DCombo"));
    QVERIFY(!combo->isEditable());
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    QCOMPARE(items, (QStringList{QStringLiteral("All"), QStringLiteral("Up"), QStringLiteral("Down")}));
    QCOMPARE(combo->currentText(), QStringLiteral("All"));

    QPushButton *findNext = f.control<QPushButton>(QStringLiteral("CmdFindNext"));
    QVERIFY(findNext->isDefault());
    QVERIFY(!findNext->isEnabled());
    for (const char *other : {"CmdClose", "CmdReplace", "CmdReplaceAll"}) {
        QPushButton *b = f.control<QPushButton>(QString::fromLatin1(other));
        QVERIFY2(b->isEnabled() && !b->autoDefault(), other);
    }
}

void TestFrmFind::everyControlHasAnAccessibleName()
{
    Fixture f;
    QStringList unnamed;
    for (QWidget *widget : f.window->findChildren<QWidget *>()) {
        if (!widget->isVisible() || widget->focusPolicy() == Qt::NoFocus)
            continue;
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(widget);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << widget->objectName();
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));

    // The text boxes and the list are labelled by the labels beside them (a list box
    // names itself after its current item and points to its label by a relation).
    const QList<std::pair<QString, QString>> labelled = {
        {QStringLiteral("TxtFind"), QStringLiteral("Label1")},
        {QStringLiteral("TxtReplace"), QStringLiteral("LblReplace")},
        {QStringLiteral("DCombo"), QStringLiteral("Label2")},
    };
    for (const auto &[name, labelName] : labelled) {
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(f.control<QWidget>(name));
        QVERIFY2(a, qPrintable(name));
        QStringList labels;
        for (const auto &[other, relation] : a->relations(QAccessible::Label))
            labels << other->object()->objectName();
        QCOMPARE(labels, QStringList{labelName});
    }
}

void TestFrmFind::findNextEnabledOnlyWithText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("backspaces");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("empty box at load") << QString() << 0 << false;
    QTest::newRow("one character typed") << QStringLiteral("a") << 0 << true;
    QTest::newRow("the character deleted again") << QStringLiteral("a") << 1 << false;
    QTest::newRow("two typed, one deleted") << QStringLiteral("ab") << 1 << true;
    QTest::newRow("a blank is text") << QStringLiteral(" ") << 0 << true;
}

void TestFrmFind::findNextEnabledOnlyWithText()
{
    QFETCH(QString, typed);
    QFETCH(int, backspaces);
    QFETCH(bool, enabled);

    Fixture f;
    QLineEdit *box = f.control<QLineEdit>(QStringLiteral("TxtFind"));
    QTest::keyClicks(box, typed);
    for (int i = 0; i < backspaces; ++i)
        QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(f.control<QPushButton>(QStringLiteral("CmdFindNext"))->isEnabled(), enabled);
}

void TestFrmFind::enterPressesFindNext_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("outcome");
    const QString red = QStringLiteral("red");
    QTest::newRow("in the Find what box") << red << QStringLiteral("TxtFind") << QStringLiteral("4:3");
    QTest::newRow("in the Replace with box") << red << QStringLiteral("TxtReplace") << QStringLiteral("4:3");
    QTest::newRow("on a check box") << red << QStringLiteral("ChkCase") << QStringLiteral("4:3");
    QTest::newRow("on the Replace All button, which is not pressed")
        << red << QStringLiteral("CmdReplaceAll") << QStringLiteral("4:3");
    QTest::newRow("with an empty Find what box nothing happens")
        << QString() << QStringLiteral("TxtFind") << QStringLiteral("0:0");
}

void TestFrmFind::enterPressesFindNext()
{
    QFETCH(QString, what);
    QFETCH(QString, focus);
    QFETCH(QString, outcome);

    const QString text = QStringLiteral("p { red }");
    Fixture f(text);
    f.run({QStringLiteral("what:") + what, QStringLiteral("with:blue")});
    const qsizetype before = f.dialogs().messages().size();
    QTest::keyClick(f.control<QWidget>(focus), Qt::Key_Return);
    QCOMPARE(f.outcomeSince(before), outcome);
    QCOMPARE(f.editor->text(), text);
}

void TestFrmFind::searchAllAndDown_data()
{
    addScriptColumns();
    searchRow("All: a missing text, and a second press repeats the new search",
              QStringLiteral("p { color: red }"), "what:blue|find|find", "no results|no results");
    searchRow("All: a selected word is the only range searched", QStringLiteral("red blue red"),
              "caret:4|select:4|what:red|find", "no results");
    searchRow("All: inside a selection its first match is taken, then the search goes on to the end",
              QStringLiteral("red blue red"), "caret:9|select:3|what:e|find|find", "10:1|finished");
    searchRow("All: adjacent matches, then finished, then the last match searched anew",
              QStringLiteral("abab"), "what:ab|find|find|find|find", "0:2|2:2|finished|2:2");
    searchRow("All: a caret without selection searches the whole text", QStringLiteral("red blue"),
              "caret:6|what:red|find", "0:3");
    searchRow("All: offsets count both characters of each line break",
              QStringLiteral("a {\r\n}\r\nb {\r\n}"), "what:b|find", "8:1");
    searchRow("Down: three matches after the caret in order, finished, then the third again",
              QStringLiteral("ab x ab ab ab"), "caret:2|dir:Down|what:ab|find|find|find|find|find",
              "5:2|8:2|11:2|finished|11:2");
    searchRow("Down: a match before the caret is not found", QStringLiteral("ab ab"),
              "caret:1|dir:Down|what:ab|find|find", "3:2|finished");
    searchRow("Down: the search goes on from where the author moved the caret",
              QStringLiteral("ab ab ab ab"), "dir:Down|what:ab|find|caret:7|find", "0:2|9:2");
    searchRow("Down: nothing after the caret", QStringLiteral("ab x"), "caret:1|dir:Down|what:ab|find",
              "no results");
    searchRow("a change of direction goes on from the match, not anew", QStringLiteral("ab ab ab"),
              "what:ab|find|dir:Down|find|dir:Up|caret:8|find", "0:2|3:2|6:2");
    searchRow("a new Find what text goes on from the match, not anew", QStringLiteral("red blue red blue"),
              "what:red|find|what:blue|find", "0:3|4:4");
}

void TestFrmFind::searchUp_data()
{
    addScriptColumns();
    searchRow("a new search takes the first match from offset 1", QStringLiteral("ab ab ab"),
              "caret:8|dir:Up|what:ab|find", "3:2");
    searchRow("from the caret upwards match by match, stopping before offset 0",
              QStringLiteral("ab ab ab ab"), "dir:Up|what:ab|find|caret:11|find|find|find|find",
              "3:2|9:2|6:2|3:2|finished");
    searchRow("a match beginning at offset 1 is found going up", QStringLiteral("xaab"),
              "dir:Up|what:a|find|caret:3|find|find|find", "1:1|2:1|1:1|finished");
    searchRow("the caret at the start finishes instead of finding offset 0 again", QStringLiteral("aXa"),
              "dir:Up|what:a|find|caret:0|find|find", "2:1|finished|2:1");
    searchRow("the caret just after the first character finishes too", QStringLiteral("aXa"),
              "dir:Up|what:a|find|caret:1|find", "2:1|finished");
    searchRow("a text found only at offset 0 is not found", QStringLiteral("ab"), "dir:Up|what:ab|find",
              "no results");
}

void TestFrmFind::optionsReachTheSearch_data()
{
    addScriptColumns();
    searchRow("case ignored without Match case", QStringLiteral("Red red"), "what:red|find", "0:3");
    searchRow("Match case", QStringLiteral("Red red"), "case|what:red|find", "4:3");
    searchRow("part of a word without whole word", QStringLiteral("colored color"), "what:color|find", "0:5");
    searchRow("Match whole word only", QStringLiteral("colored color"), "word|what:color|find", "8:5");
    searchRow("both options together", QStringLiteral("Color colored color"), "case|word|what:color|find",
              "14:5");
    searchRow("Match case ticked between presses counts from the next press", QStringLiteral("red Red red"),
              "what:red|find|case|find", "0:3|8:3");
    searchRow("whole word ticked between presses counts from the next press", QStringLiteral("red reds red"),
              "what:red|find|word|find", "0:3|9:3");
    searchRow("options reach the continued upward search", QStringLiteral("red Red red RED"),
              "dir:Up|case|what:red|find|caret:15|find", "8:3|8:3");
    row("options reach Replace All", QStringLiteral("Red red reds"), "case|word|what:red|with:tan|all",
        "made 1", QStringLiteral("Red tan reds"));
}

void TestFrmFind::replace_data()
{
    addScriptColumns();
    row("nothing selected: the text stays and the search runs as Find Next", QStringLiteral("red blue red"),
        "what:blue|with:green|replace", "4:4", QStringLiteral("red blue red"));
    row("nothing selected and nothing found: only the no-results message", QStringLiteral("red"),
        "what:blue|with:x|replace", "no results", QStringLiteral("red"));
    row("found text replaced and the next match selected, until finished", QStringLiteral("red blue red"),
        "what:red|with:pink|find|replace|replace", "0:3|10:3|finished", QStringLiteral("pink blue pink"));
    row("any selection is replaced, found or not", QStringLiteral("red blue red"),
        "caret:4|select:4|what:red|with:green|replace", "0:3", QStringLiteral("red green red"));
    row("a replacement holding the searched text is passed over", QStringLiteral("a a"),
        "what:a|with:aa|find|replace|replace", "0:1|3:1|finished", QStringLiteral("aa aa"));
    row("empty Replace with deletes the match", QStringLiteral("a;b;"), "what:;|find|replace", "1:1|2:1",
        QStringLiteral("ab;"));
    row("empty Find what: the selection is replaced and nothing is searched", QStringLiteral("red blue"),
        "caret:4|select:4|with:x|replace", "5:0", QStringLiteral("red x"));
    row("a selection across a line break is replaced whole", QStringLiteral("a\r\nb a"),
        "caret:0|select:4|what:a|with:-|replace", "2:1", QStringLiteral("- a"));
}

void TestFrmFind::replaceAll_data()
{
    addScriptColumns();
    row("a with b in aXa", QStringLiteral("aXa"), "what:a|with:b|all", "made 2", QStringLiteral("bXb"));
    row("a with A ignoring case counts every occurrence and ends", QStringLiteral("aAbaA"),
        "what:a|with:A|all", "made 4", QStringLiteral("AAbAA"));
    row("a missing text makes 0 replacements", QStringLiteral("aXa"), "what:q|with:b|all", "made 0",
        QStringLiteral("aXa"));
    row("an empty Find what box makes 0 replacements", QStringLiteral("aXa"), "with:b|all", "made 0",
        QStringLiteral("aXa"));
    row("a replacement holding the searched text is not searched again", QStringLiteral("aXa"),
        "what:a|with:aa|all", "made 2", QStringLiteral("aaXaa"));
    row("an empty replacement deletes every match", QStringLiteral("abXab"), "what:ab|all", "made 2",
        QStringLiteral("X"));
    row("adjacent and overlapping matches are taken left to right", QStringLiteral("aaaaa"),
        "what:aa|with:b|all", "made 2", QStringLiteral("bba"));
    row("the whole text from the start, whatever the selection and direction", QStringLiteral("red blue red"),
        "caret:9|select:3|dir:Down|what:red|with:tan|all", "made 2", QStringLiteral("tan blue tan"));
    row("matches on every line", QStringLiteral("h1 { color: red }\r\nh2 { color: red }\r\n"),
        "what:red|with:#FF0000|all", "made 2",
        QStringLiteral("h1 { color: #FF0000 }\r\nh2 { color: #FF0000 }\r\n"));
    row("whole words only, matching case", QStringLiteral("red reddish Red red"),
        "case|word|what:red|with:blue|all", "made 2", QStringLiteral("blue reddish Red blue"));
    row("more replacements than a 16-bit count holds", QStringLiteral("a;\r\n").repeated(33000),
        "what:a|with:b|all", "made 33000", QStringLiteral("b;\r\n").repeated(33000));
    row("a continued search goes on from after the last replacement", QStringLiteral("x x y x"),
        "what:x|with:z|find|all|find", "0:1|made 3|finished", QStringLiteral("z z y z"));
}

void TestFrmFind::showForKeepsOneWindow()
{
    ScriptedDialogs dialogs;
    ScopedDialogSeam scope(dialogs);
    QWidget owner;
    RichEdit *editor = new RichEdit(&owner); // owned by owner
    editor->setText(QStringLiteral("ab ab"));
    editor->setHideSelection(true);

    QPointer<FrmFind> first = FrmFind::showFor(&owner, *editor);
    QVERIFY(first);
    QVERIFY(first->isVisible());
    QCOMPARE(first->parentWidget(), &owner);
    QVERIFY(!editor->hideSelection());
    QCOMPARE(FrmFind::instance(), first.data());

    // The state of the open window survives a second request.
    first->findChild<QComboBox *>(QStringLiteral("DCombo"))->setCurrentIndex(FrmFind::DirectionDown);
    first->findChild<QLineEdit *>(QStringLiteral("TxtFind"))->setText(QStringLiteral("ab"));
    first->findChild<QPushButton *>(QStringLiteral("CmdFindNext"))->click();
    QVERIFY(!first->newSearch());
    QCOMPARE(FrmFind::showFor(&owner, *editor), first.data());
    QVERIFY(!first->newSearch());
    QCOMPARE(first->findChild<QComboBox *>(QStringLiteral("DCombo"))->currentText(), QStringLiteral("Down"));

    // Asked for another editor, the window is loaded afresh for that one.
    RichEdit *other = new RichEdit(&owner); // owned by owner
    QPointer<FrmFind> second = FrmFind::showFor(&owner, *other);
    QVERIFY(second && second != first);
    QVERIFY(first.isNull() || !first->isVisible());
    QVERIFY(second->newSearch());
    QCOMPARE(second->findChild<QComboBox *>(QStringLiteral("DCombo"))->currentText(), QStringLiteral("All"));
    second->close();
    QTRY_VERIFY(first.isNull() && second.isNull());
    QCOMPARE(FrmFind::instance(), nullptr);
}

void TestFrmFind::closingDestroysTheWindow_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("Close button") << false;
    QTest::newRow("Escape key") << true;
}

void TestFrmFind::closingDestroysTheWindow()
{
    QFETCH(bool, escape);

    ScriptedDialogs dialogs;
    ScopedDialogSeam scope(dialogs);
    QWidget owner;
    RichEdit *editor = new RichEdit(&owner); // owned by owner
    editor->setText(QStringLiteral("ab ab"));
    QPointer<FrmFind> window = FrmFind::showFor(&owner, *editor);
    window->findChild<QLineEdit *>(QStringLiteral("TxtFind"))->setText(QStringLiteral("ab"));
    window->findChild<QPushButton *>(QStringLiteral("CmdFindNext"))->click();
    QVERIFY(!window->newSearch());

    if (escape)
        QTest::keyClick(window->findChild<QLineEdit *>(QStringLiteral("TxtFind")), Qt::Key_Escape);
    else
        window->findChild<QPushButton *>(QStringLiteral("CmdClose"))->click();
    QTRY_VERIFY(window.isNull());
    QCOMPARE(FrmFind::instance(), nullptr);
    // The editor keeps showing its selection after the window has gone.
    QVERIFY(!editor->hideSelection());

    // Shown again, the window is loaded with its state reset.
    QPointer<FrmFind> again = FrmFind::showFor(&owner, *editor);
    QVERIFY(again->newSearch());
    QVERIFY(again->findChild<QLineEdit *>(QStringLiteral("TxtFind"))->text().isEmpty());
    again->close();
    QTRY_VERIFY(again.isNull());
}

void TestFrmFind::editorGoneBeforeTheWindow_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("Find Next") << QStringLiteral("CmdFindNext");
    QTest::newRow("Replace") << QStringLiteral("CmdReplace");
    QTest::newRow("Replace All") << QStringLiteral("CmdReplaceAll");
}

void TestFrmFind::editorGoneBeforeTheWindow()
{
    QFETCH(QString, button);

    Fixture f(QStringLiteral("ab"));
    f.run({QStringLiteral("what:ab")});
    f.destroyEditor();
    f.window->findChild<QPushButton *>(button)->click();
    QCOMPARE(f.dialogs().messages().size(), 0);
}

QTEST_MAIN(TestFrmFind)
#include "tst_frmfind.moc"
