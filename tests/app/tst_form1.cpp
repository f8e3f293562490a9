#include "app/form1.h"
#include "blocks/selectortree.h"
#include "dialogs/scopeddialogseam.h"
#include "editor/richedit.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "preview/scopedlauncher.h"
#include "support/recordinglauncher.h"
#include "support/files.h"
#include "support/scripteddialogs.h"

#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTest>

#include <memory>

using namespace sheetsmith;

// The main window driven as the author drives it, with every dialog scripted and the
// settings in a temporary file.
class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstStartShowsAnUntitledMaximisedWindow();
    void commandLineOpensTheSheet_data();
    void commandLineOpensTheSheet();
    void restartRestoresPlacementAndRecentList();
    void unreadableFileLeavesTheDocumentAsItWas_data();
    void unreadableFileLeavesTheDocumentAsItWas();
    void tabsBecomeBlanks_data();
    void tabsBecomeBlanks();
    void closingAsksOnlyWhenTheTextChanged();
    void savePromptOnClose_data();
    void savePromptOnClose();
    void newAlwaysAsks_data();
    void newAlwaysAsks();
    void saveAsNamesTheDocument();
    void failedSaveKeepsTheFileOnDisk();
    void unsavedSheetsRoundTripByteForByte();
    void missingRecentFileIsRemoved();
    void windows1252SheetKeepsItsEncodingOrSaysWhy();
    void openingFillsTheTreeAndRefreshRebuildsIt();
    void propertyListShowsTheCatalogue();
    void everyControlHasAnAccessibleName();
    void validateHandsTheSheetOver();
    void configuredBrowsersAreListed();
    void undoFromMenuAndToolbar_data();
    void undoFromMenuAndToolbar();
    void damagedCatalogueStopsStartUp_data();
    void damagedCatalogueStopsStartUp();

private:
    std::unique_ptr<Form1> makeWindow(const QString &commandLine = QString());

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<ScopedDialogSeam> m_scope;
};

void TestForm1::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_settings = std::make_unique<SettingsStore>(m_dir->filePath(QStringLiteral("settings.ini")));
    m_settings->ensureEditorDefaults();
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_scope = std::make_unique<ScopedDialogSeam>(*m_dialogs);
}

void TestForm1::cleanup()
{
    if (m_dialogs) {
        QVERIFY2(m_dialogs->unanswered().isEmpty(), qPrintable(m_dialogs->unanswered().join(u", ")));
        QCOMPARE(m_dialogs->pendingAnswers(), 0);
    }
    m_scope.reset();
    m_dialogs.reset();
    m_settings.reset();
    m_dir.reset();
}

std::unique_ptr<Form1> TestForm1::makeWindow(const QString &commandLine)
{
    auto window = std::make_unique<Form1>(*m_settings);
    [&] { QVERIFY(window->startUp(commandLine)); }();
    window->showWindow();
    // The sheet named on the command line opens from the event loop, once the window
    // has taken its size.
    QCoreApplication::processEvents();
    return window;
}

void TestForm1::firstStartShowsAnUntitledMaximisedWindow()
{
    auto w = makeWindow();
    QCOMPARE(w->windowTitle(), QStringLiteral("Sheetsmith / Untitled"));
    QCOMPARE(w->Lbl3()->text(), QStringLiteral(" Untitled"));
    QCOMPARE(w->DocTitle(), QStringLiteral("Untitled"));
    QVERIFY(w->DocPath().isEmpty());
    QTRY_VERIFY(w->isMaximized());
    for (int i = 1; i <= 4; ++i)
        QVERIFY(!w->findChild<QAction *>(QStringLiteral("mRecent%1").arg(i))->isVisible());
    // Every control the author works with can be found by its name.
    for (const char *name : {"TbM", "Frame1", "Lbl1", "TbP", "Tv", "Lbl2", "LstP", "TxtInfo", "Frame2",
                             "Lbl3", "MainText", "StBar", "ComNE"})
        QVERIFY2(w->findChild<QWidget *>(QString::fromLatin1(name)), name);
    QVERIFY(w->close());
    QCOMPARE(m_settings->read(keys::window::Section, keys::window::State), QStringLiteral("Max"));
}

void TestForm1::commandLineOpensTheSheet_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("quoted");
    QTest::newRow("plain path") << QStringLiteral("some.css") << false;
    QTest::newRow("quoted path with a blank") << QStringLiteral("my sheet.css") << true;
}

void TestForm1::commandLineOpensTheSheet()
{
    QFETCH(QString, fileName);
    QFETCH(bool, quoted);
    const QString path = m_dir->filePath(fileName);
    QVERIFY(writeBytes(path, "body {\n  color: red;\n}\n"));
    auto w = makeWindow(quoted ? u'"' + path + u'"' : path);
    QCOMPARE(w->windowTitle(), QStringLiteral("Sheetsmith / ") + fileName);
    QCOMPARE(w->Lbl3()->text(), QStringLiteral(" ") + path);
    QCOMPARE(w->MainText()->text(), QStringLiteral("body {\r\n  color: red;\r\n}\r\n"));
    QCOMPARE(w->SavedText(), w->MainText()->text());
    QCOMPARE(w->recentFiles().entry(1).tag, path);
    QCOMPARE(w->recentFiles().entry(1).caption, fileName);
}

void TestForm1::restartRestoresPlacementAndRecentList()
{
    const QString a = m_dir->filePath(QStringLiteral("a.css"));
    const QString b = m_dir->filePath(QStringLiteral("b.css"));
    QVERIFY(writeBytes(a, "a {}\n"));
    QVERIFY(writeBytes(b, "b {}\n"));
    QRect placed;
    {
        m_settings->write(keys::window::Section, keys::window::State, QStringLiteral("Normal"));
        m_settings->write(keys::window::Section, keys::window::Left, QStringLiteral("1500"));
        m_settings->write(keys::window::Section, keys::window::Top, QStringLiteral("1200"));
        m_settings->write(keys::window::Section, keys::window::Width, QStringLiteral("12000"));
        m_settings->write(keys::window::Section, keys::window::Height, QStringLiteral("9000"));
        auto w = makeWindow();
        QVERIFY(!w->isMaximized());
        QVERIFY(w->OpenDocument(QStringLiteral("a.css"), a));
        QVERIFY(w->OpenDocument(QStringLiteral("b.css"), b));
        placed = QRect(w->pos(), w->size());
        QVERIFY(w->close());
    }
    QCOMPARE(m_settings->read(keys::window::Section, keys::window::State), QStringLiteral("Normal"));
    QCOMPARE(m_settings->read(keys::recent::Section, QStringLiteral("1b")), b);
    QCOMPARE(m_settings->read(keys::recent::Section, QStringLiteral("2b")), a);

    auto again = makeWindow();
    QCOMPARE(QRect(again->pos(), again->size()), placed);
    const auto *recent1 = again->findChild<QAction *>(QStringLiteral("mRecent1"));
    const auto *recent2 = again->findChild<QAction *>(QStringLiteral("mRecent2"));
    QVERIFY(recent1->isVisible() && recent2->isVisible());
    QCOMPARE(recent1->text(), QStringLiteral("b.css"));
    QCOMPARE(recent2->text(), QStringLiteral("a.css"));
    QVERIFY(!again->findChild<QAction *>(QStringLiteral("mRecent3"))->isVisible());
}

void TestForm1::unreadableFileLeavesTheDocumentAsItWas_data()
{
    QTest::addColumn<QString>("what");
    QTest::newRow("missing file") << QStringLiteral("missing");
    QTest::newRow("a folder") << QStringLiteral("folder");
    QTest::newRow("not text") << QStringLiteral("binary");
}

void TestForm1::unreadableFileLeavesTheDocumentAsItWas()
{
    QFETCH(QString, what);
    const QString sheet = m_dir->filePath(QStringLiteral("sheet.css"));
    QVERIFY(writeBytes(sheet, "p { margin: 0 }\n"));
    QString bad = m_dir->filePath(what);
    if (what == QLatin1String("folder"))
        QVERIFY(QDir(m_dir->path()).mkdir(what));
    if (what == QLatin1String("binary"))
        QVERIFY(writeBytes(bad, QByteArray("PNG\0\0\x01\x02", 7)));

    auto w = makeWindow(sheet);
    w->MainText()->setSelStart(w->MainText()->text().size());
    w->MainText()->setSelText(QStringLiteral("h1 { }"));
    const QString typed = w->MainText()->text();

    m_dialogs->answerMessage(DialogSeam::Ok);
    QVERIFY(!w->OpenDocument(what, bad));
    QCOMPARE(m_dialogs->messages().size(), 1);
    QVERIFY(m_dialogs->messages().first().text.contains(bad));
    QCOMPARE(m_dialogs->messages().first().flags & DialogSeam::IconMask, int(DialogSeam::Critical));
    QCOMPARE(w->MainText()->text(), typed);
    QCOMPARE(w->DocPath(), sheet);
    QCOMPARE(w->windowTitle(), QStringLiteral("Sheetsmith / sheet.css"));
    QCOMPARE(w->recentFiles().entry(2).tag, QString()); // the bad file was not added

    m_dialogs->answerMessage(DialogSeam::No); // closing asks about the typed text
    QVERIFY(w->close());
}

void TestForm1::tabsBecomeBlanks_data()
{
    QTest::addColumn<QString>("tabWidth");
    QTest::addColumn<QString>("expected");
    QTest::newRow("width 2") << QStringLiteral("2") << QStringLiteral("a {\r\n  b: c;\r\n}");
    QTest::newRow("width 0 drops tabs") << QStringLiteral("0") << QStringLiteral("a {\r\nb: c;\r\n}");
    QTest::newRow("malformed width reads as 4") << QStringLiteral("wide") << QStringLiteral("a {\r\n    b: c;\r\n}");
}

void TestForm1::tabsBecomeBlanks()
{
    QFETCH(QString, tabWidth);
    QFETCH(QString, expected);
    m_settings->write(keys::editor::Section, keys::editor::TabWidth, tabWidth);
    const QString path = m_dir->filePath(QStringLiteral("tabs.css"));
    QVERIFY(writeBytes(path, "a {\n\tb: c;\n}"));
    auto w = makeWindow(path);
    QCOMPARE(w->MainText()->text(), expected);
}

void TestForm1::closingAsksOnlyWhenTheTextChanged()
{
    const QString path = m_dir->filePath(QStringLiteral("s.css"));
    QVERIFY(writeBytes(path, "a { }\n"));
    auto w = makeWindow(path);
    // Typing and then removing the same characters by hand brings the text back.
    w->MainText()->setSelStart(0);
    w->MainText()->setSelText(QStringLiteral("xy"));
    w->MainText()->setSelStart(0);
    w->MainText()->setSelLength(2);
    w->MainText()->setSelText(QString());
    QVERIFY(w->close());
    QVERIFY(m_dialogs->messages().isEmpty());
}

void TestForm1::savePromptOnClose_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("untitled");
    QTest::addColumn<bool>("cancelSaveDialog");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("fileWritten");
    QTest::newRow("cancel keeps the window") << int(DialogSeam::Cancel) << false << false << false << false;
    QTest::newRow("no closes without saving") << int(DialogSeam::No) << false << false << true << false;
    QTest::newRow("yes saves and closes") << int(DialogSeam::Yes) << false << false << true << true;
    QTest::newRow("yes on untitled, dialog cancelled, keeps the window")
        << int(DialogSeam::Yes) << true << true << false << false;
    QTest::newRow("yes on untitled, saved as, closes") << int(DialogSeam::Yes) << true << false << true << true;
}

void TestForm1::savePromptOnClose()
{
    QFETCH(int, answer);
    QFETCH(bool, untitled);
    QFETCH(bool, cancelSaveDialog);
    QFETCH(bool, closes);
    QFETCH(bool, fileWritten);
    const QString path = m_dir->filePath(QStringLiteral("doc.css"));
    if (!untitled)
        QVERIFY(writeBytes(path, "a { }\n"));
    auto w = makeWindow(untitled ? QString() : path);
    w->MainText()->setSelStart(0);
    w->MainText()->setSelText(QStringLiteral("b { }\r\n"));
    const QString typed = w->MainText()->text();

    m_dialogs->answerMessage(answer);
    if (untitled && answer == DialogSeam::Yes) {
        if (cancelSaveDialog)
            m_dialogs->cancelFile();
        else
            m_dialogs->answerFile(path);
    }
    QCOMPARE(w->close(), closes);
    QCOMPARE(m_dialogs->messages().first().text,
             QStringLiteral("Saves Changes to ") + (untitled ? QStringLiteral("Untitled") : QStringLiteral("doc.css"))
                 + u'?');
    QCOMPARE(m_dialogs->messages().first().flags, int(DialogSeam::YesNoCancel | DialogSeam::Question));
    QCOMPARE(m_dialogs->messages().first().title, QStringLiteral("Sheetsmith"));
    QCOMPARE(w->MainText()->text(), typed);
    if (fileWritten)
        QCOMPARE(readBytes(path), QByteArray(untitled ? "b { }\n" : "b { }\na { }\n"));
    else if (!untitled)
        QCOMPARE(readBytes(path), QByteArray("a { }\n"));
    if (!closes) {
        m_dialogs->answerMessage(DialogSeam::No);
        QVERIFY(w->close());
    }
}

void TestForm1::newAlwaysAsks_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("cleared");
    QTest::newRow("cancel") << int(DialogSeam::Cancel) << false;
    QTest::newRow("no") << int(DialogSeam::No) << true;
    QTest::newRow("yes, save dialog cancelled") << int(DialogSeam::Yes) << false;
}

void TestForm1::newAlwaysAsks()
{
    QFETCH(int, answer);
    QFETCH(bool, cleared);
    auto w = makeWindow();
    w->MainText()->setText(QStringLiteral("p { }"));
    m_dialogs->answerMessage(answer);
    if (answer == DialogSeam::Yes)
        m_dialogs->cancelFile(); // untitled: Save runs Save As
    w->New();
    QCOMPARE(m_dialogs->messages().first().text, QStringLiteral("Saves Changes to Untitled?"));
    QCOMPARE(w->MainText()->text(), cleared ? QString() : QStringLiteral("p { }"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Sheetsmith / Untitled"));
    QCOMPARE(w->SavedText(), QString()); // New leaves the remembered text alone
    if (!cleared) {
        m_dialogs->answerMessage(DialogSeam::No);
        QVERIFY(w->close());
    }
}

void TestForm1::saveAsNamesTheDocument()
{
    auto w = makeWindow();
    w->MainText()->setText(QStringLiteral("em { }\r\n"));
    const QString path = m_dir->filePath(QStringLiteral("new.css"));
    m_dialogs->answerFile(path);
    QVERIFY(w->Save());
    const auto &call = m_dialogs->fileCalls().first();
    QCOMPARE(call.kind, ScriptedDialogs::FileKind::Save);
    QCOMPARE(call.request.nameFilters.size(), 3);
    QCOMPARE(w->DocTitle(), QStringLiteral("new.css"));
    QCOMPARE(w->DocPath(), path);
    QCOMPARE(w->windowTitle(), QStringLiteral("Sheetsmith / new.css"));
    QCOMPARE(w->Lbl3()->text(), QStringLiteral(" ") + path);
    QCOMPARE(w->SavedText(), QStringLiteral("em { }\r\n"));
    QCOMPARE(w->recentFiles().entry(1).tag, path);
    QCOMPARE(readBytes(path), QByteArray("em { }\n")); // a new sheet is written with LF
    QVERIFY(w->close());                                // saved: no prompt
}

void TestForm1::failedSaveKeepsTheFileOnDisk()
{
    const QString path = m_dir->filePath(QStringLiteral("s.css"));
    QVERIFY(writeBytes(path, "old\n"));
    // A folder where the file should go: no write can succeed there, not even the
    // superuser's.
    const QString folder = m_dir->filePath(QStringLiteral("taken.css"));
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("taken.css")));
    auto w = makeWindow(path);
    w->MainText()->setText(QStringLiteral("new"));
    m_dialogs->answerFile(folder);
    m_dialogs->answerMessage(DialogSeam::Ok);
    QVERIFY(!w->SaveAs());
    QCOMPARE(m_dialogs->messages().size(), 1);
    QVERIFY(m_dialogs->messages().first().text.contains(QStringLiteral("taken.css")));
    QVERIFY(QFileInfo(folder).isDir());
    QCOMPARE(readBytes(path), QByteArray("old\n"));
    QCOMPARE(w->DocPath(), path);
    QCOMPARE(w->SavedText(), QStringLiteral("old\r\n"));
    m_dialogs->answerMessage(DialogSeam::No);
    QVERIFY(w->close());
}

void TestForm1::unsavedSheetsRoundTripByteForByte()
{
    const QStringList sheets = corpusSheets();
    QVERIFY(!sheets.isEmpty());
    auto w = makeWindow();
    for (const QString &path : sheets) {
        const QByteArray original = readBytes(path);
        const QString name = QFileInfo(path).fileName();
        const QString copy = m_dir->filePath(name);
        QVERIFY(writeBytes(copy, original));
        QVERIFY(w->OpenDocument(name, copy));
        QVERIFY(w->Save());
        QByteArray expected = original;
        expected.replace('\t', QByteArray(4, ' '));
        QVERIFY2(readBytes(copy) == expected, qPrintable(name));
    }
}

void TestForm1::windows1252SheetKeepsItsEncodingOrSaysWhy()
{
    const QString path = m_dir->filePath(QStringLiteral("latin.css"));
    QVERIFY(writeBytes(path, "p { content: \"caf\xE9\" }\r\n"));
    auto w = makeWindow(path);
    QCOMPARE(w->MainText()->text(), QStringLiteral("p { content: \"caf\u00e9\" }\r\n"));
    QVERIFY(w->Save());
    QCOMPARE(readBytes(path), QByteArray("p { content: \"caf\xE9\" }\r\n"));
    QVERIFY(m_dialogs->messages().isEmpty());

    // A character the code page lacks: the sheet is saved as UTF-8, and the author told.
    w->MainText()->setSelStart(0);
    w->MainText()->setSelText(QStringLiteral("/* \u2192 */"));
    m_dialogs->answerMessage(DialogSeam::Ok);
    QVERIFY(w->Save());
    QCOMPARE(readBytes(path), QByteArray("/* \xE2\x86\x92 */p { content: \"caf\xC3\xA9\" }\r\n"));
    QCOMPARE(m_dialogs->messages().size(), 1);
    QVERIFY(m_dialogs->messages().first().text.contains(QStringLiteral("UTF-8")));
    QCOMPARE(m_dialogs->messages().first().flags, int(DialogSeam::Information));
    QVERIFY(w->close());
}

void TestForm1::missingRecentFileIsRemoved()
{
    const QString path = m_dir->filePath(QStringLiteral("gone.css"));
    QVERIFY(writeBytes(path, "a{}"));
    auto w = makeWindow(path);
    QVERIFY(QFile::remove(path));
    m_dialogs->answerMessage(DialogSeam::Ok);
    w->openRecent(1);
    QCOMPARE(m_dialogs->messages().first().text, QStringLiteral("File not found!"));
    QCOMPARE(m_dialogs->messages().first().flags, int(DialogSeam::Critical));
    QVERIFY(!w->findChild<QAction *>(QStringLiteral("mRecent1"))->isVisible());
    QCOMPARE(w->MainText()->text(), QStringLiteral("a{}"));
    QVERIFY(w->close());
    QCOMPARE(m_settings->read(keys::recent::Section, QStringLiteral("1a")), QString());
}

namespace {

// The tree's groups and their children as "Group: a, b" lines.
QStringList treeOutline(const SelectorTree *tree)
{
    QStringList lines;
    const QAbstractItemModel *model = tree->model();
    for (int g = 0; g < model->rowCount(); ++g) {
        const QModelIndex group = model->index(g, 0);
        QStringList children;
        for (int c = 0; c < model->rowCount(group); ++c)
            children << model->index(c, 0, group).data().toString();
        lines << group.data().toString() + QStringLiteral(": ") + children.join(QStringLiteral(", "));
        if (!tree->isExpanded(group))
            lines.last() += QStringLiteral(" (collapsed)");
    }
    return lines;
}

} // namespace

void TestForm1::openingFillsTheTreeAndRefreshRebuildsIt()
{
    auto w = makeWindow();
    QCOMPARE(treeOutline(w->Tv()), (QStringList{"Elements: ", "Classes: ", "IDs: "}));

    const QString path = m_dir->filePath(QStringLiteral("t.css"));
    QVERIFY(writeBytes(path, "h1, h2 { color: red }\n.note { }\n#main { }\np { }\n"));
    QVERIFY(w->OpenDocument(QStringLiteral("t.css"), path));
    QCOMPARE(treeOutline(w->Tv()), (QStringList{"Elements: h1,h2, p", "Classes: .note", "IDs: #main"}));
    QCOMPARE(w->Blocks().Count(), 4);

    // Edits reach the tree when Refresh is pressed.
    w->MainText()->setSelStart(0);
    w->MainText()->setSelText(QStringLiteral(".first { }\r\n"));
    QAction *refresh = w->findChild<QAction *>(QStringLiteral("TbP_Refresh"));
    QVERIFY(refresh && refresh->isEnabled());
    refresh->trigger();
    QCOMPARE(treeOutline(w->Tv()), (QStringList{"Elements: h1,h2, p", "Classes: .first, .note", "IDs: #main"}));
    m_dialogs->answerMessage(DialogSeam::No);
    QVERIFY(w->close());
}

void TestForm1::propertyListShowsTheCatalogue()
{
    auto w = makeWindow();
    const auto *list = w->findChild<QTreeWidget *>(QStringLiteral("LstP"));
    QCOMPARE(list->topLevelItemCount(), 53);
    QCOMPARE(list->headerItem()->text(0), QStringLiteral("Property"));
    QCOMPARE(list->headerItem()->text(1), QStringLiteral("Value"));
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("font-family"));
    QCOMPARE(list->topLevelItem(6)->text(0), QStringLiteral("color"));
    for (int i = 0; i < 53; ++i) {
        QCOMPARE(list->topLevelItem(i)->text(0), w->catalogue().PropName[size_t(i)]);
        QVERIFY(list->topLevelItem(i)->text(1).isEmpty());
    }
}

void TestForm1::everyControlHasAnAccessibleName()
{
    auto w = makeWindow();
    QStringList unnamed;
    for (QWidget *widget : w->findChildren<QWidget *>()) {
        if (!widget->isVisible() || widget->focusPolicy() == Qt::NoFocus)
            continue;
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(widget);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << QStringLiteral("%1 %2").arg(QString::fromLatin1(widget->metaObject()->className()),
                                                   widget->objectName());
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
}

void TestForm1::validateHandsTheSheetOver()
{
    RecordingLauncher launcher;
    ScopedLauncher scope(launcher);
    auto w = makeWindow();
    w->MainText()->setText(QStringLiteral("p {\r\n}"));
    m_dialogs->answerMessage(DialogSeam::Ok);
    w->findChild<QAction *>(QStringLiteral("mValidate"))->trigger();
    QVERIFY(m_dialogs->messages().first().text.startsWith(QStringLiteral("Instructions:\r\n")));
    QCOMPARE(launcher.clipboardText(), QStringLiteral("p {\r\n}"));
    QCOMPARE(launcher.urls().size(), 1);
    m_dialogs->answerMessage(DialogSeam::No);
    QVERIFY(w->close());
}

void TestForm1::configuredBrowsersAreListed()
{
    m_settings->write(keys::preview::Section, keys::preview::browserName(1), QStringLiteral("Firefox"));
    m_settings->write(keys::preview::Section, keys::preview::browserPath(1), QStringLiteral("/usr/bin/firefox"));
    m_settings->write(keys::preview::Section, keys::preview::browserName(2), QStringLiteral("Chromium"));
    m_settings->write(keys::preview::Section, keys::preview::browserPath(2), QStringLiteral("/usr/bin/chromium"));
    // A gap ends the list.
    m_settings->write(keys::preview::Section, keys::preview::browserName(4), QStringLiteral("Lost"));
    auto w = makeWindow();
    const auto entry = [&](int i) { return w->findChild<QAction *>(QStringLiteral("mPreview%1").arg(i)); };
    QVERIFY(entry(1)->isVisible());
    QCOMPARE(entry(1)->text(), QStringLiteral("Preview with Firefox"));
    QCOMPARE(entry(1)->data().toString(), QStringLiteral("/usr/bin/firefox"));
    QCOMPARE(entry(2)->text(), QStringLiteral("Preview with Chromium"));
    for (int i = 3; i <= 10; ++i)
        QVERIFY(!entry(i)->isVisible());
}

void TestForm1::undoFromMenuAndToolbar_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("Edit menu") << QStringLiteral("mUndi");
    QTest::newRow("toolbar") << QStringLiteral("TbM_Undo");
}

void TestForm1::undoFromMenuAndToolbar()
{
    QFETCH(QString, action);
    auto w = makeWindow();
    QTest::keyClicks(w->MainText(), QStringLiteral("p"));
    QTest::keyClick(w->MainText(), Qt::Key_Return);
    QTest::keyClicks(w->MainText(), QStringLiteral("q"));
    QCOMPARE(w->MainText()->text(), QStringLiteral("p\r\nq"));
    auto *undo = w->findChild<QAction *>(action);
    QVERIFY(undo && undo->isEnabled());
    // Undo steps back through the typing until the text is empty; every step changes
    // the text.
    int steps = 0;
    while (!w->MainText()->text().isEmpty() && steps < 10) {
        const QString before = w->MainText()->text();
        undo->trigger();
        QVERIFY(w->MainText()->text() != before);
        ++steps;
    }
    QVERIFY(w->MainText()->text().isEmpty());
}

void TestForm1::damagedCatalogueStopsStartUp_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<QString>("problem");
    QTest::newRow("missing") << QByteArray() << QStringLiteral("not found");
    QTest::newRow("record cut short") << QByteArray("[color]\nValue:<color>\n") << QStringLiteral("ends");
}

void TestForm1::damagedCatalogueStopsStartUp()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, problem);
    const QString path = m_dir->filePath(QStringLiteral("css1.txt"));
    if (!content.isEmpty())
        QVERIFY(writeBytes(path, content));
    Form1 w(*m_settings);
    w.setCatalogueFile(path);
    m_dialogs->answerMessage(DialogSeam::Ok);
    QVERIFY(!w.startUp(QString()));
    QVERIFY(!w.isVisible());
    QCOMPARE(m_dialogs->messages().size(), 1);
    const ScriptedDialogs::Message &m = m_dialogs->messages().first();
    QCOMPARE(m.flags, int(DialogSeam::Critical));
    QVERIFY2(m.text.contains(path) || m.text.contains(QStringLiteral("css1.txt")), qPrintable(m.text));
    QVERIFY2(m.text.contains(problem, Qt::CaseInsensitive), qPrintable(m.text));
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
