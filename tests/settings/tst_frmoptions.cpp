#include "dialogs/scopeddialogseam.h"
#include "editor/colouring.h"
#include "editor/qtcolour.h"
#include "editor/richedit.h"
#include "settings/frmoptions.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "support/scripteddialogs.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace sheetsmith;
namespace ed = sheetsmith::keys::editor;
namespace pv = sheetsmith::keys::preview;

namespace {

const QString kSheet = QStringLiteral("h1 {\r\n  color: red; /* note */\r\n}\r\n");
constexpr qsizetype kSelectorAt = 0; // "h"
constexpr qsizetype kBraceAt = 3;    // "{"
constexpr qsizetype kCommentAt = 20; // "/"
constexpr qsizetype kClosingBraceAt = 32;

const ColourValue kOldSelector = makeColour(0, 0, 128);
const ColourValue kOldBracket = makeColour(128, 0, 0);
const ColourValue kOldComment = makeColour(0, 128, 0);

// Every key and value of the store, for comparing a store before and after.
QMap<QString, QString> snapshot(const QString &iniPath)
{
    QSettings ini(iniPath, QSettings::IniFormat);
    QMap<QString, QString> all;
    for (const QString &key : ini.allKeys())
        all.insert(key, ini.value(key).toString());
    return all;
}

} // namespace

class TestFrmOptions : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openingLoadsTheControlsFromTheStore();
    void tabStripShowsOneFrame();
    void pickedColourChangesOnlyItsSample();
    void applyStoresRenamesResizesAndRecolours_data();
    void applyStoresRenamesResizesAndRecolours();
    void applyWithoutColourTableStillStores();
    void checkLevelIsLoadedAndStored_data();
    void checkLevelIsLoadedAndStored();
    void applyShowsStatusTextsInOrder();
    void cancelStoresNothing();
    void browserListEditsAreWrittenWithoutGaps();
    void browserFrameRefusesEmptyNameAndEditsNothingWithoutSelection();
    void browseTakesPathAndFileName();
    void badTypedValueIsRefused_data();
    void badTypedValueIsRefused();
    void showForKeepsOneWindow();

private:
    FrmOptions *open();
    void writeColours(ColourValue selector, ColourValue bracket, ColourValue comment);
    void openSheet();
    void click(const char *name);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<RichEdit> m_edit;
    std::unique_ptr<Colouriser> m_colouriser;
    std::unique_ptr<QLabel> m_status;
    ScriptedDialogs *m_dialogs = nullptr;
    std::unique_ptr<ScopedDialogSeam> m_seam;
    int m_refreshes = 0;
    QPointer<FrmOptions> m_form;
};

void TestFrmOptions::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_store = std::make_unique<SettingsStore>(m_dir->filePath(QStringLiteral("s.ini")));
    m_store->write(ed::Section, ed::FontName, QStringLiteral("Old Font"));
    m_store->write(ed::Section, ed::FontSize, QStringLiteral("10"));
    m_store->write(ed::Section, ed::TabWidth, QStringLiteral("4"));
    writeColours(kOldSelector, kOldBracket, kOldComment);
    m_edit = std::make_unique<RichEdit>();
    m_colouriser = std::make_unique<Colouriser>();
    m_status = std::make_unique<QLabel>();
    m_dialogs = new ScriptedDialogs;
    m_seam = std::make_unique<ScopedDialogSeam>(*m_dialogs);
    m_refreshes = 0;
}

void TestFrmOptions::cleanup()
{
    if (m_form)
        delete m_form.data();
    QCOMPARE(m_dialogs->unanswered(), QStringList());
    QCOMPARE(m_dialogs->pendingAnswers(), 0);
    m_seam.reset();
    delete m_dialogs;
    m_dialogs = nullptr;
    m_edit.reset();
}

void TestFrmOptions::writeColours(ColourValue selector, ColourValue bracket, ColourValue comment)
{
    const struct
    {
        QLatin1String definitionKey;
        QLatin1String numberKey;
        ColourValue value;
    } colours[] = {{ed::Selectors, ed::LSelectors, selector},
                   {ed::Brackets, ed::LBrackets, bracket},
                   {ed::Comments, ed::LComments, comment}};
    for (const auto &c : colours) {
        m_store->write(ed::Section, c.definitionKey, colourToRtfDefinition(c.value));
        m_store->write(ed::Section, c.numberKey, QString::number(c.value));
    }
}

// As opening a document does: the font and colours from the store, the whole text
// coloured in one pass, then one typed edit so that there is an undo history.
void TestFrmOptions::openSheet()
{
    const EditorSettings s = m_store->editorSettings();
    m_edit->setEditorFont(s.fontName, s.fontSize);
    m_edit->setText(kSheet.left(kSheet.size() - 2));
    m_colouriser->setColours(s.syntaxColours());
    m_colouriser->BuildColourTable();
    m_colouriser->ColourDocument(*m_edit);
    m_edit->setSelStart(m_edit->text().size());
    m_edit->setSelText(QStringLiteral("\r\n"));
}

FrmOptions *TestFrmOptions::open()
{
    m_form = new FrmOptions(*m_store, *m_edit, *m_colouriser, m_status.get(),
                            [this] { ++m_refreshes; });
    return m_form;
}

void TestFrmOptions::click(const char *name)
{
    auto *button = m_form->findChild<QPushButton *>(QLatin1String(name));
    QVERIFY2(button, name);
    button->click();
}

// --- The window -------------------------------------------------------------------------

void TestFrmOptions::openingLoadsTheControlsFromTheStore()
{
    m_store->write(ed::Section, ed::FontSize, QStringLiteral("13"));
    m_store->write(ed::Section, ed::TabWidth, QStringLiteral("3"));
    m_store->write(pv::Section, pv::browserName(1), QStringLiteral("One"));
    m_store->write(pv::Section, pv::browserPath(1), QStringLiteral("/bin/one"));
    m_store->write(pv::Section, pv::browserName(2), QStringLiteral("Two"));
    m_store->write(pv::Section, pv::browserPath(2), QStringLiteral("/bin/two"));
    m_store->write(pv::Section, pv::browserName(4), QStringLiteral("After a gap"));
    open();

    QCOMPARE(m_form->objectName(), QStringLiteral("FrmOptions"));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Options"));
    QCOMPARE(m_form->findChild<QComboBox *>("ComFont")->currentText(), QStringLiteral("Old Font"));
    auto *size = m_form->findChild<QComboBox *>("ComSize");
    QCOMPARE(size->currentText(), QStringLiteral("13"));
    QCOMPARE(size->count(), 18);
    QCOMPARE(size->itemText(0), QStringLiteral("7"));
    QCOMPARE(size->itemText(17), QStringLiteral("24"));
    QCOMPARE(m_form->findChild<QLineEdit *>("TxtTab")->text(), QStringLiteral("3"));
    QCOMPARE(m_form->selectorsColour(), kOldSelector);
    QCOMPARE(m_form->bracketsColour(), kOldBracket);
    QCOMPARE(m_form->commentsColour(), kOldComment);

    auto *names = m_form->findChild<QListWidget *>("LstBrowsers");
    auto *paths = m_form->findChild<QListWidget *>("LstlBrowsers");
    QCOMPARE(names->count(), 2);
    QCOMPARE(names->item(1)->text(), QStringLiteral("Two"));
    QCOMPARE(paths->count(), 2);
    QCOMPARE(paths->item(1)->text(), QStringLiteral("/bin/two"));
    QCOMPARE(m_form->browserFrameMode(), FrmOptions::FrameHidden);
}

void TestFrmOptions::tabStripShowsOneFrame()
{
    open();
    auto *editor = m_form->findChild<QWidget *>("FrEditor");
    auto *preview = m_form->findChild<QWidget *>("FrPreview");
    QVERIFY(editor->isVisibleTo(m_form));
    QVERIFY(!preview->isVisibleTo(m_form));
    m_form->findChild<QTabBar *>("Tb")->setCurrentIndex(1);
    QVERIFY(!editor->isVisibleTo(m_form));
    QVERIFY(preview->isVisibleTo(m_form));
    m_form->findChild<QTabBar *>("Tb")->setCurrentIndex(0);
    QVERIFY(editor->isVisibleTo(m_form));
}

void TestFrmOptions::pickedColourChangesOnlyItsSample()
{
    openSheet();
    const auto before = snapshot(m_store->fileName());
    open();
    m_dialogs->answerColour(QColor(10, 20, 30));
    click("CmdBrackets");
    m_dialogs->cancelColour();
    click("CmdComments");

    QCOMPARE(m_form->bracketsColour(), makeColour(10, 20, 30));
    QCOMPARE(m_form->selectorsColour(), kOldSelector);
    QCOMPARE(m_form->commentsColour(), kOldComment);
    // The dialog starts from the colour in use, with the start-from-colour flag.
    QCOMPARE(m_dialogs->colourCalls().size(), 2);
    QCOMPARE(m_dialogs->colourCalls()[0].colour, colourToQColor(kOldBracket));
    QCOMPARE(m_dialogs->colourCalls()[1].colour, colourToQColor(kOldComment));
    QCOMPARE(m_dialogs->colourCalls()[0].flags, 1);
    // Nothing else changed before Apply.
    QCOMPARE(snapshot(m_store->fileName()), before);
    QCOMPARE(m_edit->colourAt(kBraceAt), kOldBracket);
}

void TestFrmOptions::applyStoresRenamesResizesAndRecolours_data()
{
    QTest::addColumn<QList<int>>("olds"); // selectors, braces, comments
    QTest::addColumn<QList<int>>("news");

    QTest::newRow("three new colours")
        << QList<int>{kOldSelector, kOldBracket, kOldComment}
        << QList<int>{makeColour(1, 2, 3), makeColour(200, 100, 50), makeColour(0, 0, 255)};
    QTest::newRow("selectors and braces exchanged")
        << QList<int>{kOldSelector, kOldBracket, kOldComment}
        << QList<int>{kOldBracket, kOldSelector, kOldComment};
    QTest::newRow("shared selector and brace colour parts")
        << QList<int>{kOldSelector, kOldSelector, kOldComment}
        << QList<int>{kOldSelector, makeColour(255, 0, 0), kOldComment};
    QTest::newRow("black selectors get a colour")
        << QList<int>{0, kOldBracket, kOldComment}
        << QList<int>{makeColour(0, 0, 255), kOldBracket, kOldComment};
}

void TestFrmOptions::applyStoresRenamesResizesAndRecolours()
{
    QFETCH(QList<int>, olds);
    QFETCH(QList<int>, news);
    writeColours(olds[0], olds[1], olds[2]);
    openSheet();
    QCOMPARE(m_edit->colourAt(kSelectorAt), olds[0]);
    const QString text = m_edit->text();
    const int undoSteps = m_edit->document()->availableUndoSteps();
    const qsizetype caret = m_edit->selStart();

    open();
    m_dialogs->answerColour(colourToQColor(news[0]));
    click("CmdSelectors");
    m_dialogs->answerColour(colourToQColor(news[1]));
    click("CmdBrackets");
    m_dialogs->answerColour(colourToQColor(news[2]));
    click("CmdComments");
    m_form->findChild<QComboBox *>("ComFont")->setCurrentText(QStringLiteral("New Font"));
    m_form->findChild<QComboBox *>("ComSize")->setCurrentText(QStringLiteral("12"));
    m_form->findChild<QLineEdit *>("TxtTab")->setText(QStringLiteral("2"));
    click("CmdApply");

    QCOMPARE(m_store->read(ed::Section, ed::FontName), QStringLiteral("New Font"));
    QCOMPARE(m_store->read(ed::Section, ed::FontSize), QStringLiteral("12"));
    QCOMPARE(m_store->read(ed::Section, ed::TabWidth), QStringLiteral("2"));
    QCOMPARE(m_store->read(ed::Section, ed::Selectors),
             QStringLiteral("\\red%1\\green%2\\blue%3")
                 .arg(colourRed(news[0])).arg(colourGreen(news[0])).arg(colourBlue(news[0])));
    QCOMPARE(m_store->read(ed::Section, ed::LSelectors), QString::number(news[0]));
    QCOMPARE(m_store->read(ed::Section, ed::LBrackets), QString::number(news[1]));
    QCOMPARE(m_store->read(ed::Section, ed::Comments), colourToRtfDefinition(news[2]));

    QCOMPARE(m_edit->fontName(), QStringLiteral("New Font"));
    QCOMPARE(m_edit->fontSize(), 12.0);
    QVERIFY(m_edit->textRTF().contains(QLatin1String("\\fs24 ")));
    QCOMPARE(m_edit->colourAt(kSelectorAt), news[0]);
    QCOMPARE(m_edit->colourAt(kBraceAt), news[1]);
    QCOMPARE(m_edit->colourAt(kCommentAt), news[2]);
    QCOMPARE(m_edit->colourAt(kClosingBraceAt), news[1]);
    QCOMPARE(m_edit->text(), text);
    QCOMPARE(m_edit->document()->availableUndoSteps(), undoSteps);
    QCOMPARE(m_edit->selStart(), caret);

    // Later line colouring uses the stored colours.
    QCOMPARE(m_colouriser->SelectorColourValue(), news[0]);
    QCOMPARE(m_colouriser->CommentColourValue(), news[2]);
    QCOMPARE(m_refreshes, 1);
    QVERIFY(!m_edit->colouring());
    QTRY_VERIFY(m_form.isNull());
}

void TestFrmOptions::applyWithoutColourTableStillStores()
{
    m_edit->setEditorFont(QStringLiteral("Old Font"), 10);
    m_edit->setText(QStringLiteral("p { }"));
    open();
    m_dialogs->answerColour(QColor(0, 0, 255));
    click("CmdSelectors");
    click("CmdApply");
    QCOMPARE(m_store->read(ed::Section, ed::LSelectors), QString::number(makeColour(0, 0, 255)));
    QCOMPARE(m_store->read(ed::Section, ed::Selectors), QStringLiteral("\\red0\\green0\\blue255"));
    QCOMPARE(m_edit->text(), QStringLiteral("p { }"));
    QCOMPARE(m_edit->colourAt(0), kAutoColour);
}

void TestFrmOptions::checkLevelIsLoadedAndStored_data()
{
    QTest::addColumn<QString>("stored"); // "-": missing
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("applied");
    QTest::newRow("missing is CSS level 1") << "-" << "CSS level 1" << "Current CSS" << "current";
    QTest::newRow("current") << "current" << "Current CSS" << "CSS level 1" << "css1";
    QTest::newRow("malformed is CSS level 1") << "css3" << "CSS level 1" << "CSS level 1" << "css1";
    QTest::newRow("letter case does not count") << "Current" << "Current CSS" << "Current CSS" << "current";
}

void TestFrmOptions::checkLevelIsLoadedAndStored()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QFETCH(QString, chosen);
    QFETCH(QString, applied);
    if (stored != QLatin1String("-"))
        m_store->write(ed::Section, ed::CheckLevel, stored);
    openSheet();
    open();
    auto *level = m_form->findChild<QComboBox *>("ComCheckLevel");
    QVERIFY(level);
    QCOMPARE(level->currentText(), shown);
    level->setCurrentText(chosen);
    click("CmdApply");
    QCOMPARE(m_store->read(ed::Section, ed::CheckLevel), applied);
}

void TestFrmOptions::applyShowsStatusTextsInOrder()
{
    openSheet();
    open();
    QStringList shown;
    QList<bool> colouring;
    connect(m_form, &FrmOptions::statusShown, this, [&](const QString &text) {
        shown << text;
        colouring << m_edit->colouring();
        QCOMPARE(m_status->text(), text);
    });
    click("CmdApply");
    QCOMPARE(shown, (QStringList{QStringLiteral("Saving modified editor settings..."),
                                 QStringLiteral("Saving modified preview settings..."),
                                 QStringLiteral("Ready")}));
    QCOMPARE(colouring, (QList<bool>{true, false, false}));
    QCOMPARE(m_status->text(), QStringLiteral("Ready"));
}

void TestFrmOptions::cancelStoresNothing()
{
    m_store->write(pv::Section, pv::browserName(1), QStringLiteral("One"));
    m_store->write(pv::Section, pv::browserPath(1), QStringLiteral("/bin/one"));
    openSheet();
    const auto before = snapshot(m_store->fileName());
    const QString rtf = m_edit->textRTF();
    open();
    m_dialogs->answerColour(QColor(1, 1, 1));
    click("CmdSelectors");
    m_form->findChild<QLineEdit *>("TxtTab")->setText(QStringLiteral("8"));
    m_form->findChild<QListWidget *>("LstBrowsers")->setCurrentRow(0);
    click("CmdDelete");
    click("CmdCancel");

    QTRY_VERIFY(m_form.isNull());
    QCOMPARE(snapshot(m_store->fileName()), before);
    QCOMPARE(m_edit->textRTF(), rtf);
    QCOMPARE(m_refreshes, 0);
}

void TestFrmOptions::browserListEditsAreWrittenWithoutGaps()
{
    for (int n = 1; n <= 3; ++n) {
        m_store->write(pv::Section, pv::browserName(n), QStringLiteral("B%1").arg(n));
        m_store->write(pv::Section, pv::browserPath(n), QStringLiteral("/bin/b%1").arg(n));
    }
    open();
    auto *names = m_form->findChild<QListWidget *>("LstBrowsers");
    auto *frame = m_form->findChild<QGroupBox *>("FrAdd");
    auto *name = m_form->findChild<QLineEdit *>("TxtName");
    auto *path = m_form->findChild<QLineEdit *>("TxtPath");

    names->setCurrentRow(1);
    click("CmdDelete");
    QCOMPARE(names->count(), 2);

    names->setCurrentRow(0);
    click("CmdEdit");
    QCOMPARE(frame->title(), QStringLiteral(" Edit Browser "));
    QCOMPARE(name->text(), QStringLiteral("B1"));
    QCOMPARE(path->text(), QStringLiteral("/bin/b1"));
    name->setText(QStringLiteral("First"));
    path->setText(QStringLiteral("/opt/first"));
    click("CmdAddOK");
    QCOMPARE(m_form->browserFrameMode(), FrmOptions::FrameHidden);
    QCOMPARE(names->currentRow(), 0);

    click("CmdAdd");
    QCOMPARE(frame->title(), QStringLiteral(" Add Browser "));
    QCOMPARE(name->text(), QString());
    name->setText(QStringLiteral("Last"));
    path->setText(QStringLiteral("/opt/last"));
    click("CmdAddOK");

    click("CmdApply");
    const QStringList expectedNames{"First", "B3", "Last"};
    const QStringList expectedPaths{"/opt/first", "/bin/b3", "/opt/last"};
    for (int n = 1; n <= 3; ++n) {
        QCOMPARE(m_store->read(pv::Section, pv::browserName(n)), expectedNames[n - 1]);
        QCOMPARE(m_store->read(pv::Section, pv::browserPath(n)), expectedPaths[n - 1]);
    }
    QVERIFY(!m_store->contains(pv::Section, pv::browserName(4)));
    QVERIFY(!m_store->contains(pv::Section, pv::browserPath(4)));
    QCOMPARE(m_refreshes, 1);
}

void TestFrmOptions::browserFrameRefusesEmptyNameAndEditsNothingWithoutSelection()
{
    open();
    auto *names = m_form->findChild<QListWidget *>("LstBrowsers");
    click("CmdEdit"); // no entries, no selection
    QCOMPARE(m_form->browserFrameMode(), FrmOptions::FrameHidden);
    click("CmdDelete");
    QCOMPARE(names->count(), 0);

    click("CmdAdd");
    m_form->findChild<QLineEdit *>("TxtPath")->setText(QStringLiteral("/bin/x"));
    m_dialogs->answerMessage(DialogSeam::Ok);
    click("CmdAddOK");
    QCOMPARE(names->count(), 0);
    QCOMPARE(m_form->browserFrameMode(), FrmOptions::FrameAdding);
    QCOMPARE(m_dialogs->messages().size(), 1);
    QCOMPARE(m_dialogs->messages()[0].flags, int(DialogSeam::Warning));
}

void TestFrmOptions::browseTakesPathAndFileName()
{
    open();
    click("CmdAdd");
    m_form->findChild<QLineEdit *>("TxtName")->setText(QStringLiteral("typed"));
    m_dialogs->answerFile(QStringLiteral("/usr/bin/firefox"));
    click("CmdBrowse");
    QCOMPARE(m_form->findChild<QLineEdit *>("TxtPath")->text(), QStringLiteral("/usr/bin/firefox"));
    QCOMPARE(m_form->findChild<QLineEdit *>("TxtName")->text(), QStringLiteral("firefox"));
    QCOMPARE(m_dialogs->fileCalls().size(), 1);
    const FileDialogRequest &request = m_dialogs->fileCalls()[0].request;
    QVERIFY(request.nameFilters.contains(QStringLiteral("All Files (*)")));
    QCOMPARE(request.nameFilters.value(request.filterIndex), QStringLiteral("All Files (*)"));

    m_dialogs->cancelFile();
    click("CmdBrowse");
    QCOMPARE(m_form->findChild<QLineEdit *>("TxtName")->text(), QStringLiteral("firefox"));
}

void TestFrmOptions::badTypedValueIsRefused_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("tab");
    QTest::addColumn<QString>("field");

    QTest::newRow("tab width not a number") << "Mono" << "10" << "four" << "Tab Width";
    QTest::newRow("tab width zero") << "Mono" << "10" << "0" << "Tab Width";
    QTest::newRow("tab width empty") << "Mono" << "10" << "" << "Tab Width";
    QTest::newRow("size not a number") << "Mono" << "big" << "4" << "Size";
    QTest::newRow("empty font name") << " " << "10" << "4" << "Font";
    QTest::newRow("font name with RTF brace") << "Mo{no" << "10" << "4" << "Font";
}

void TestFrmOptions::badTypedValueIsRefused()
{
    QFETCH(QString, font);
    QFETCH(QString, size);
    QFETCH(QString, tab);
    QFETCH(QString, field);
    openSheet();
    const auto before = snapshot(m_store->fileName());
    const QString rtf = m_edit->textRTF();
    open();
    m_form->findChild<QComboBox *>("ComFont")->setCurrentText(font);
    m_form->findChild<QComboBox *>("ComSize")->setCurrentText(size);
    m_form->findChild<QLineEdit *>("TxtTab")->setText(tab);
    m_dialogs->answerMessage(DialogSeam::Ok);
    QVERIFY(!m_form->apply());

    QCOMPARE(m_dialogs->messages().size(), 1);
    QVERIFY2(m_dialogs->messages()[0].text.startsWith(field + u':'),
             qPrintable(m_dialogs->messages()[0].text));
    QCOMPARE(snapshot(m_store->fileName()), before);
    QCOMPARE(m_edit->textRTF(), rtf);
    QCOMPARE(m_refreshes, 0);
    QVERIFY(!m_form.isNull());
}

void TestFrmOptions::showForKeepsOneWindow()
{
    QWidget owner;
    FrmOptions *first = FrmOptions::showFor(&owner, *m_store, *m_edit, *m_colouriser, nullptr, {});
    FrmOptions *second = FrmOptions::showFor(&owner, *m_store, *m_edit, *m_colouriser, nullptr, {});
    QCOMPARE(first, second);
    QCOMPARE(FrmOptions::instance(), first);
    QCOMPARE(first->parentWidget(), &owner);
    m_form = first;
    first->close();
    QTRY_VERIFY(FrmOptions::instance() == nullptr);
}

QTEST_MAIN(TestFrmOptions)
#include "tst_frmoptions.moc"
