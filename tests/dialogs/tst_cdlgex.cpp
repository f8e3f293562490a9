#include "dialogs/cdlgex.h"
#include "dialogs/scopeddialogseam.h"
#include "support/scripteddialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace sheetsmith;

namespace {
const QString StyleSheetFilter = QStringLiteral(
    "Cascading Style Sheet (.css)|*.css|Text Files (.txt)|*.txt|All Files (*.*)|*.*");
}

class TestCdlgEx : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void toNameFilters_data();
    void toNameFilters();
    void nameFilterIndex_data();
    void nameFilterIndex();
    void startFolder_data();
    void startFolder();
    void withDefaultExtension_data();
    void withDefaultExtension();
    void iconSizeIsSixteenOrThirtyTwo();

    void openPassesPropertiesToTheDialog_data();
    void openPassesPropertiesToTheDialog();
    void resultsCarryOverBetweenCalls();
    void saveAddsTheDefaultExtension();
    void showColor_data();
    void showColor();
    void action_data();
    void action();

private:
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<ScopedDialogSeam> m_scope;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCdlgEx::init()
{
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_scope = std::make_unique<ScopedDialogSeam>(*m_dialogs);
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestCdlgEx::cleanup()
{
    QCOMPARE(m_dialogs->pendingAnswers(), 0);
    m_scope.reset();
    m_dialogs.reset();
}

void TestCdlgEx::toNameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("nameFilters");
    QTest::newRow("style sheet filter, three choices")
        << StyleSheetFilter
        << QStringList{"Cascading Style Sheet (.css) (*.css)", "Text Files (.txt) (*.txt)",
                       "All Files (*.*) (*)"};
    QTest::newRow("several patterns in one pair")
        << "Html Files|*.htm;*.html|All Files (*.*)|*.*"
        << QStringList{"Html Files (*.htm *.html)", "All Files (*.*) (*)"};
    QTest::newRow("empty filter") << "" << QStringList{};
    QTest::newRow("description without pattern dropped")
        << "Nothing||Sheets|*.css" << QStringList{"Sheets (*.css)"};
    QTest::newRow("pattern without description named by it") << "|*.css"
                                                              << QStringList{"*.css (*.css)"};
    QTest::newRow("blanks and empty patterns ignored")
        << "Sheets| *.css ; ;*.txt " << QStringList{"Sheets (*.css *.txt)"};
}

void TestCdlgEx::toNameFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, nameFilters);
    QCOMPARE(CdlgEx::toNameFilters(filter), nameFilters);
}

void TestCdlgEx::nameFilterIndex_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("filterIndex");
    QTest::addColumn<int>("expected");
    QTest::newRow("first pair") << StyleSheetFilter << 1 << 0;
    QTest::newRow("beyond the pairs") << StyleSheetFilter << 4 << 0;
    QTest::newRow("counted after a dropped pair") << "Nothing||Sheets|*.css|Text|*.txt" << 3 << 1;
}

void TestCdlgEx::nameFilterIndex()
{
    QFETCH(QString, filter);
    QFETCH(int, filterIndex);
    QFETCH(int, expected);
    QCOMPARE(CdlgEx::nameFilterIndex(filter, filterIndex), expected);
}

void TestCdlgEx::startFolder_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("initDir");
    QTest::addColumn<QString>("expected");
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString here = QDir::tempPath();
    const QString sheet = here + QStringLiteral("/site.css");
    QTest::newRow("nothing set: the program's folder") << "" << "" << programFolder;
    QTest::newRow("initial folder set") << "" << "/usr/share" << "/usr/share";
    QTest::newRow("file chosen earlier") << sheet << "" << here;
    QTest::newRow("initial folder wins over the file's") << sheet << "/usr/share" << "/usr/share";
    QTest::newRow("file in a folder that is gone")
        << here + QStringLiteral("/sheetsmith-no-such-folder/site.css") << "" << programFolder;
}

void TestCdlgEx::startFolder()
{
    QFETCH(QString, fileName);
    QFETCH(QString, initDir);
    QFETCH(QString, expected);
    QCOMPARE(CdlgEx::startFolder(fileName, initDir), expected);
}

void TestCdlgEx::withDefaultExtension_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("defaultExt");
    QTest::addColumn<QString>("expected");
    QTest::newRow("bare name gets it") << "/t/site" << "css" << "/t/site.css";
    QTest::newRow("own extension kept") << "/t/site.txt" << "css" << "/t/site.txt";
    QTest::newRow("dot in the folder does not count") << "/t.d/site" << "css" << "/t.d/site.css";
}

void TestCdlgEx::withDefaultExtension()
{
    QFETCH(QString, path);
    QFETCH(QString, defaultExt);
    QFETCH(QString, expected);
    QCOMPARE(CdlgEx::withDefaultExtension(path, defaultExt), expected);
}

void TestCdlgEx::iconSizeIsSixteenOrThirtyTwo()
{
    CdlgEx dialog;
    dialog.setIconSize(16);
    QCOMPARE(dialog.IconSize(), 16);
    dialog.setIconSize(24);
    QCOMPARE(dialog.IconSize(), 32);
}

void TestCdlgEx::openPassesPropertiesToTheDialog_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("passedFlags");
    QTest::newRow("hide read-only") << 4 << 4;
    QTest::newRow("hook bit cleared") << (4 | 32) << 4;
    QTest::newRow("template bits cleared") << (4 | 64 | 128 | 4096) << (4 | 4096);
}

void TestCdlgEx::openPassesPropertiesToTheDialog()
{
    QFETCH(int, flags);
    QFETCH(int, passedFlags);
    QWidget owner;
    CdlgEx dialog;
    dialog.setHOwner(&owner);
    dialog.setFlags(flags);
    dialog.setFilter(StyleSheetFilter);
    dialog.setFilterIndex(2);
    dialog.setDialogTitle(QStringLiteral("Open a sheet"));
    dialog.setInitDir(m_dir->path());
    m_dialogs->cancelFile();
    dialog.ShowOpen();

    QCOMPARE(m_dialogs->fileCalls().size(), 1);
    const ScriptedDialogs::FileCall &call = m_dialogs->fileCalls().first();
    QCOMPARE(call.kind, ScriptedDialogs::FileKind::Open);
    QCOMPARE(call.request.owner, &owner);
    QCOMPARE(call.request.flags, passedFlags);
    QCOMPARE(call.request.title, QStringLiteral("Open a sheet"));
    QCOMPARE(call.request.directory, m_dir->path());
    QCOMPARE(call.request.nameFilters.size(), 3);
    QCOMPARE(call.request.filterIndex, 1);
    QCOMPARE(dialog.Flags(), flags); // the property itself keeps every bit
}

void TestCdlgEx::resultsCarryOverBetweenCalls()
{
    CdlgEx dialog;
    m_dialogs->cancelFile();
    dialog.ShowOpen();
    QCOMPARE(dialog.cdlError(), QStringLiteral("Cancel"));

    // OK clears the error an earlier cancel left.
    const QString chosen = m_dir->filePath(QStringLiteral("site.css"));
    m_dialogs->answerFile(chosen);
    dialog.ShowOpen();
    QCOMPARE(dialog.cdlError(), QString());
    QCOMPARE(dialog.FileName(), chosen);
    QCOMPARE(dialog.FileTitle(), QStringLiteral("site.css"));

    // The next dialog starts at the chosen file; its cancel keeps the results.
    m_dialogs->cancelFile();
    dialog.ShowOpen();
    QCOMPARE(dialog.cdlError(), QStringLiteral("Cancel"));
    QCOMPARE(dialog.FileName(), chosen);
    QCOMPARE(dialog.FileTitle(), QStringLiteral("site.css"));

    QCOMPARE(m_dialogs->fileCalls().size(), 3);
    const FileDialogRequest &first = m_dialogs->fileCalls().at(0).request;
    const FileDialogRequest &last = m_dialogs->fileCalls().at(2).request;
    QCOMPARE(first.directory, QCoreApplication::applicationDirPath());
    QCOMPARE(first.initialFile, QString());
    QCOMPARE(last.directory, m_dir->path());
    QCOMPARE(last.initialFile, QStringLiteral("site.css"));
}

void TestCdlgEx::saveAddsTheDefaultExtension()
{
    CdlgEx dialog;
    dialog.setDefaultExt(QStringLiteral("css"));
    m_dialogs->answerFile(m_dir->filePath(QStringLiteral("theme")));
    dialog.ShowSave();
    QCOMPARE(m_dialogs->fileCalls().first().kind, ScriptedDialogs::FileKind::Save);
    QCOMPARE(m_dialogs->fileCalls().first().request.defaultSuffix, QStringLiteral("css"));
    QCOMPARE(dialog.FileName(), m_dir->filePath(QStringLiteral("theme.css")));
    QCOMPARE(dialog.FileTitle(), QStringLiteral("theme.css"));
    QCOMPARE(dialog.cdlError(), QString());
}

void TestCdlgEx::showColor_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("rgbResult");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QColor>("startColour");
    QTest::addColumn<int>("passedFlags");
    QTest::addColumn<int>("expectedResult");
    QTest::addColumn<QString>("expectedError");
    const QColor picked(1, 2, 3);
    const int pickedValue = 1 + 2 * 256 + 3 * 65536;
    QTest::newRow("starts from the given colour") << 1 << 0x0080FF << true << QColor(255, 128, 0)
                                                  << 1 << pickedValue << "";
    QTest::newRow("without flag 1 starts from black")
        << 2 << 0x123456 << true << QColor(0, 0, 0) << 2 << pickedValue << "";
    QTest::newRow("only the four lowest bits passed")
        << (16 | 32 | 1) << 0 << true << QColor(0, 0, 0) << 1 << pickedValue << "";
    QTest::newRow("cancel keeps the colour the caller set")
        << 1 << 0x00FF00 << false << QColor(0, 255, 0) << 1 << 0x00FF00 << "Cancel";
}

void TestCdlgEx::showColor()
{
    QFETCH(int, flags);
    QFETCH(int, rgbResult);
    QFETCH(bool, accept);
    QFETCH(QColor, startColour);
    QFETCH(int, passedFlags);
    QFETCH(int, expectedResult);
    QFETCH(QString, expectedError);
    QWidget owner;
    CdlgEx dialog;
    dialog.setCdlError(QStringLiteral("Cancel")); // as an earlier cancelled call leaves it
    dialog.setHOwner(&owner);
    dialog.setFlags(flags);
    dialog.setRGBResult(rgbResult);
    if (accept)
        m_dialogs->answerColour(QColor(1, 2, 3));
    else
        m_dialogs->cancelColour();
    dialog.ShowColor();

    QCOMPARE(m_dialogs->colourCalls().size(), 1);
    const ColourDialogRequest &request = m_dialogs->colourCalls().first();
    QCOMPARE(request.colour, startColour);
    QCOMPARE(request.flags, passedFlags);
    QCOMPARE(request.owner, &owner);
    QCOMPARE(dialog.RGBResult(), expectedResult);
    QCOMPARE(dialog.cdlError(), expectedError);
}

void TestCdlgEx::action_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("opens");
    QTest::addColumn<int>("saves");
    QTest::addColumn<int>("colours");
    QTest::newRow("1 opens") << 1 << 1 << 0 << 0;
    QTest::newRow("3 picks a colour") << 3 << 0 << 0 << 1;
    QTest::newRow("0 does nothing") << 0 << 0 << 0 << 0;
    QTest::newRow("4, the font dialog, does nothing here") << 4 << 0 << 0 << 0;
}

void TestCdlgEx::action()
{
    QFETCH(int, action);
    QFETCH(int, opens);
    QFETCH(int, saves);
    QFETCH(int, colours);
    CdlgEx dialog;
    if (opens + saves > 0)
        m_dialogs->cancelFile();
    if (colours > 0)
        m_dialogs->cancelColour();
    dialog.setAction(action);
    int openCalls = 0;
    int saveCalls = 0;
    for (const ScriptedDialogs::FileCall &call : m_dialogs->fileCalls())
        ++(call.kind == ScriptedDialogs::FileKind::Open ? openCalls : saveCalls);
    QCOMPARE(openCalls, opens);
    QCOMPARE(saveCalls, saves);
    QCOMPARE(int(m_dialogs->colourCalls().size()), colours);
    QCOMPARE(dialog.cdlError(), opens + saves + colours > 0 ? QStringLiteral("Cancel") : QString());
}

QTEST_MAIN(TestCdlgEx)
#include "tst_cdlgex.moc"
