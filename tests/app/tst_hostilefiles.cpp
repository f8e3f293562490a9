#include "text/documentfile.h"
#include "editor/richedit.h"
#include "settings/settingsstore.h"
#include "support/files.h"
#include "support/childrun.h"
#include "support/windowfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>


using namespace sheetsmith;

namespace {

const QByteArray OldSheet("p { color: blue; }\n");

bool setMode(const QString &path, QFileDevice::Permissions permissions)
{
    return QFile::setPermissions(path, permissions);
}

constexpr QFileDevice::Permissions ReadWrite = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions FolderOpen = ReadWrite | QFileDevice::ExeOwner;
constexpr QFileDevice::Permissions FolderReadOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner;

} // namespace

// Files and places that fight back: each is answered with a message naming the file
// and the reason, while the open document stays as it was and the program runs on.
// The permission cases run as a user without privileges (see childrun.h).
class TestHostileFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fileWithoutReadPermissionIsNotOpened();
    void saveIntoFolderWithoutWritePermission_data();
    void saveIntoFolderWithoutWritePermission();
    void saveOnAFullDiskKeepsTheOldFile();
    void fileReplacedByAFolderBeforeSave();
    void fileDeletedBeforeSave_data();
    void fileDeletedBeforeSave();
    void symbolicLinkLoop_data();
    void symbolicLinkLoop();
    void fileOfSeveralHundredMegabytesIsRefused();
    void settingsThatCannotBeKept_data();
    void settingsThatCannotBeKept();

private:
    // Opens OldSheet as sheet.css in folder and types after it; returns its path.
    QString openAndEdit(const QString &folder);
    // The document still holds the edit of openAndEdit, unsaved, under its name.
    void checkDocumentUntouched(const QString &path);
    // Exactly one message arrived, naming path and holding reason.
    void checkOneMessage(const QString &path, const QString &reason);

    WindowFixture m_fixture;
    QString m_editedText;
};

void TestHostileFiles::init()
{
    QVERIFY2(m_fixture.setUp(), qPrintable(m_fixture.problem()));
}

void TestHostileFiles::cleanup()
{
    QVERIFY2(m_fixture.tearDown(), qPrintable(m_fixture.problem()));
}

QString TestHostileFiles::openAndEdit(const QString &folder)
{
    const QString path = QDir(folder).filePath(QStringLiteral("sheet.css"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(OldSheet) != OldSheet.size())
        return QString();
    file.close();
    if (!m_fixture.window().OpenDocument(QStringLiteral("sheet.css"), path))
        return QString();
    RichEdit &editor = m_fixture.editor();
    editor.setSelStart(editor.text().size());
    editor.setSelText(QStringLiteral("h1 { margin: 0; }"));
    m_editedText = editor.text();
    return path;
}

void TestHostileFiles::checkDocumentUntouched(const QString &path)
{
    Form1 &window = m_fixture.window();
    QCOMPARE(m_fixture.editor().text(), m_editedText);
    QCOMPARE(window.DocPath(), path);
    QCOMPARE(window.DocTitle(), QStringLiteral("sheet.css"));
    QVERIFY(window.document().isModified());
    QVERIFY(window.isVisible());
}

void TestHostileFiles::checkOneMessage(const QString &path, const QString &reason)
{
    const auto &messages = m_fixture.dialogs().messages();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.first().text.contains(QDir::toNativeSeparators(path)), qPrintable(messages.first().text));
    QVERIFY2(messages.first().text.contains(reason), qPrintable(messages.first().text));
}

void TestHostileFiles::fileWithoutReadPermissionIsNotOpened()
{
    SHEETSMITH_RUN_UNPRIVILEGED();
    const QString path = openAndEdit(m_fixture.folder());
    QVERIFY(!path.isEmpty());
    const QString locked = m_fixture.writeFile(QStringLiteral("locked.css"), "div { }\n");
    QVERIFY(setMode(locked, QFileDevice::WriteOwner));

    m_fixture.dialogs().answerMessage(DialogSeam::Ok);
    QVERIFY(!m_fixture.window().OpenDocument(QStringLiteral("locked.css"), locked));
    checkOneMessage(locked, QStringLiteral("permission to read"));
    checkDocumentUntouched(path);
}

void TestHostileFiles::saveIntoFolderWithoutWritePermission_data()
{
    QTest::addColumn<bool>("saveAs");
    QTest::newRow("Save over the sheet") << false;
    QTest::newRow("Save As a new sheet") << true;
}

void TestHostileFiles::saveIntoFolderWithoutWritePermission()
{
    SHEETSMITH_RUN_UNPRIVILEGED();
    QFETCH(bool, saveAs);
    const QString folder = m_fixture.folder() + QStringLiteral("/locked");
    QVERIFY(QDir().mkpath(folder));
    const QString path = openAndEdit(folder);
    QVERIFY(!path.isEmpty());
    QVERIFY(setMode(folder, FolderReadOnly));

    const QString target = saveAs ? folder + QStringLiteral("/other.css") : path;
    if (saveAs)
        m_fixture.dialogs().answerFile(target);
    m_fixture.dialogs().answerMessage(DialogSeam::Ok);
    const bool saved = saveAs ? m_fixture.window().SaveAs() : m_fixture.window().Save();
    setMode(folder, FolderOpen);

    QVERIFY(!saved);
    checkOneMessage(target, QStringLiteral("permission to write in the folder"));
    checkDocumentUntouched(path);
    QCOMPARE(readBytes(path), OldSheet);
    QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/other.css")));
}

void TestHostileFiles::saveOnAFullDiskKeepsTheOldFile()
{
    SHEETSMITH_RUN_ON_SMALL_DISK(64 * 1024);
    const QString folder = smallDiskFolder().isEmpty() ? m_fixture.folder() : smallDiskFolder();
    const QString path = openAndEdit(folder);
    QVERIFY(!path.isEmpty());
    // More than any room that could be left.
    m_fixture.editor().setSelText(QString(200 * 1024, u'x'));
    m_editedText = m_fixture.editor().text();

    m_fixture.dialogs().answerMessage(DialogSeam::Ok);
    bool saved = true;
    QString reason;
    {
        const FullDisk full;
        reason = full.reason();
        saved = m_fixture.window().Save();
    }
    QVERIFY(!saved);
    checkOneMessage(path, reason);
    checkDocumentUntouched(path);
    QCOMPARE(readBytes(path), OldSheet);
    QCOMPARE(QDir(folder).entryList({QStringLiteral("sheet.css*")}, QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("sheet.css")});
}

void TestHostileFiles::fileReplacedByAFolderBeforeSave()
{
    const QString path = openAndEdit(m_fixture.folder());
    QVERIFY(!path.isEmpty());
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir().mkdir(path));

    m_fixture.dialogs().answerMessage(DialogSeam::Ok);
    QVERIFY(!m_fixture.window().Save());
    checkOneMessage(path, QStringLiteral("there is a folder of that name"));
    checkDocumentUntouched(path);
    QVERIFY(QFileInfo(path).isDir());
}

void TestHostileFiles::fileDeletedBeforeSave_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("saved again") << int(DialogSeam::Yes);
    QTest::newRow("not saved") << int(DialogSeam::No);
}

void TestHostileFiles::fileDeletedBeforeSave()
{
    QFETCH(int, answer);
    const QString path = openAndEdit(m_fixture.folder());
    QVERIFY(!path.isEmpty());
    QVERIFY(QFile::remove(path));

    m_fixture.dialogs().answerMessage(answer);
    const bool saved = m_fixture.window().Save();
    checkOneMessage(path, QStringLiteral("has been deleted or moved by another program"));
    QCOMPARE(saved, answer == DialogSeam::Yes);
    QCOMPARE(m_fixture.editor().text(), m_editedText);
    QCOMPARE(m_fixture.window().document().isModified(), !saved);
    if (saved)
        QCOMPARE(readBytes(path), QByteArray("p { color: blue; }\nh1 { margin: 0; }"));
    else
        QVERIFY(!QFileInfo::exists(path));
}

void TestHostileFiles::symbolicLinkLoop_data()
{
    QTest::addColumn<bool>("throughFolder");
    QTest::newRow("the sheet's own name") << false;
    QTest::newRow("a folder on the way") << true;
}

void TestHostileFiles::symbolicLinkLoop()
{
    QFETCH(bool, throughFolder);
    const QString path = openAndEdit(m_fixture.folder());
    QVERIFY(!path.isEmpty());
    const QDir dir(m_fixture.folder());
    const QString linkA = dir.filePath(QStringLiteral("loop-a.css"));
    const QString linkB = dir.filePath(QStringLiteral("loop-b.css"));
    QVERIFY(QFile::link(linkB, linkA));
    QVERIFY(QFile::link(linkA, linkB));
    const QString target = throughFolder ? linkA + QStringLiteral("/inner.css") : linkA;
    const QString reason = QStringLiteral("loop of symbolic links");

    m_fixture.dialogs().answerMessage(DialogSeam::Ok);
    QVERIFY(!m_fixture.window().OpenDocument(QStringLiteral("loop.css"), target));
    checkOneMessage(target, reason);
    checkDocumentUntouched(path);

    m_fixture.dialogs().answerFile(target);
    m_fixture.dialogs().answerMessage(DialogSeam::Ok);
    QVERIFY(!m_fixture.window().SaveAs());
    QCOMPARE(m_fixture.dialogs().messages().size(), 2);
    QVERIFY(m_fixture.dialogs().messages().last().text.contains(reason));
    checkDocumentUntouched(path);
    // Saving did not break the loop by putting a file in place of a link.
    QVERIFY(QFileInfo(linkA).isSymLink());
    QVERIFY(QFileInfo(linkB).isSymLink());
}

void TestHostileFiles::fileOfSeveralHundredMegabytesIsRefused()
{
    const QString path = openAndEdit(m_fixture.folder());
    QVERIFY(!path.isEmpty());
    const QString huge = m_fixture.folder() + QStringLiteral("/huge.css");
    QFile file(huge);
    QVERIFY(file.open(QIODevice::WriteOnly));
    // Sparse on the usual file systems: it takes no room on the disk.
    QVERIFY(file.resize(qint64(300) * 1024 * 1024));
    file.close();

    m_fixture.dialogs().answerMessage(DialogSeam::Ok);
    QVERIFY(!m_fixture.window().OpenDocument(QStringLiteral("huge.css"), huge));
    checkOneMessage(huge, QStringLiteral("too large to be a style sheet (over 64 MB)"));
    checkDocumentUntouched(path);
}

void TestHostileFiles::settingsThatCannotBeKept_data()
{
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<int>("fileMode");
    QTest::addColumn<bool>("folderWritable");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("storedValuesRead");

    QTest::newRow("file without read permission")
        << true << int(QFileDevice::WriteOwner) << true << "permission to read it" << false;
    QTest::newRow("file without write permission")
        << true << int(QFileDevice::ReadOwner) << true << "permission to change it" << true;
    QTest::newRow("no file, folder without write permission")
        << false << 0 << false << "permission to write in the folder" << false;
}

void TestHostileFiles::settingsThatCannotBeKept()
{
    SHEETSMITH_RUN_UNPRIVILEGED();
    QFETCH(bool, fileExists);
    QFETCH(int, fileMode);
    QFETCH(bool, folderWritable);
    QFETCH(QString, reason);
    QFETCH(bool, storedValuesRead);

    const QString folder = m_fixture.folder() + QStringLiteral("/config");
    QVERIFY(QDir().mkpath(folder));
    const QString ini = folder + QStringLiteral("/Sheetsmith.ini");
    const QByteArray stored("[Editor]\nTabWidth=7\n");
    if (fileExists) {
        m_fixture.writeFile(QStringLiteral("config/Sheetsmith.ini"), stored);
        QVERIFY(setMode(ini, QFileDevice::Permissions::fromInt(fileMode)));
    }
    if (!folderWritable)
        QVERIFY(setMode(folder, FolderReadOnly));

    QStringList told;
    {
        SettingsStore settings(ini);
        settings.setProblemHandler([&told](const QString &problem) { told << problem; });
        // The run goes on with what could be read: the stored value, or the default.
        QCOMPARE(settings.tabWidth(), storedValuesRead ? 7 : 4);
        settings.ensureEditorDefaults();
        settings.write(QStringLiteral("Window"), QStringLiteral("State"), QStringLiteral("Normal"));
        settings.remove(QStringLiteral("Editor"), QStringLiteral("TabWidth"));
        settings.write(QStringLiteral("Recent"), QStringLiteral("1a"), QStringLiteral("a.css"));
        // Changes hold for this run.
        QCOMPARE(settings.read(QStringLiteral("Recent"), QStringLiteral("1a")), QStringLiteral("a.css"));
        QCOMPARE(settings.problem(), told.value(0));
    }
    setMode(folder, FolderOpen);
    setMode(ini, ReadWrite);

    QCOMPARE(told.size(), 1);
    QVERIFY2(told.first().contains(QDir::toNativeSeparators(ini)), qPrintable(told.first()));
    QVERIFY2(told.first().contains(reason), qPrintable(told.first()));
    QVERIFY2(told.first().contains(QLatin1String("will not be kept")), qPrintable(told.first()));
    // Nothing of the author's file was lost or written over.
    QCOMPARE(readBytes(ini), fileExists ? stored : QByteArray());
}

QTEST_MAIN(TestHostileFiles)
#include "tst_hostilefiles.moc"
