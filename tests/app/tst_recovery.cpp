#include "app/recovery.h"
#include "app/recoveryfile.h"
#include "editor/richedit.h"
#include "support/files.h"
#include "support/childrun.h"
#include "support/windowfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace sheetsmith;

namespace {

RecoveryParse readCopy(const QString &path)
{
    return decodeRecovery(readBytes(path));
}

const QString RestoreQuestion = QStringLiteral("Sheetsmith was not closed properly. Restore the unsaved changes to ");

} // namespace

// The recovery copy of the open document, driven in one process: when it is written
// and removed, and how copies left by a program that did not close properly are
// offered back at the next start. (Killing a real program is tst_crashrecovery.)
class TestRecovery : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void copyHoldsTheUnsavedDocument();
    void copyGoesWhenNothingIsUnsaved_data();
    void copyGoesWhenNothingIsUnsaved();
    void restoredCopyIsAnEditedDocument_data();
    void restoredCopyIsAnEditedDocument();
    void noAsksAgainBeforeDeleting_data();
    void noAsksAgainBeforeDeleting();
    void severalCopiesAreOfferedOneByOne();
    void damagedCopyIsKeptAside_data();
    void damagedCopyIsKeptAside();
    void copyOfARunningProgramIsLeftAlone();
    void noFolderForCopiesIsToldAtStart();
    void failedCopyIsToldOnceUntilItWorks();
    void copyOnAFullDiskIsToldOnce();

private:
    std::unique_ptr<DocumentRecovery> startRecovery(const QString &folder);
    // Ends the program without closing it properly, and starts it again.
    void restart();
    QString sheetPath() const { return m_work->filePath(QStringLiteral("sheet.css")); }
    QString recoveryFolder() const { return m_work->filePath(QStringLiteral("recovery")); }
    // The copies in the recovery folder, by name.
    QStringList copies() const;
    void typeAtEnd(const QString &text);
    // A copy as another program's session would have left it.
    QString leaveCopy(const QString &id, const RecoveryRecord &record, int ageSeconds);

    std::unique_ptr<QTemporaryDir> m_work; // the sheets and the recovery folder, kept across restarts
    WindowFixture m_fixture;
    std::unique_ptr<DocumentRecovery> m_recovery;
};

void TestRecovery::init()
{
    m_work = std::make_unique<QTemporaryDir>();
    QVERIFY(m_work->isValid());
    QVERIFY2(m_fixture.setUp(), qPrintable(m_fixture.problem()));
    m_recovery = startRecovery(recoveryFolder());
}

void TestRecovery::cleanup()
{
    m_recovery.reset();
    QVERIFY2(m_fixture.tearDown(), qPrintable(m_fixture.problem()));
    m_work.reset();
}

std::unique_ptr<DocumentRecovery> TestRecovery::startRecovery(const QString &folder)
{
    auto recovery = std::make_unique<DocumentRecovery>(m_fixture.window().document(), m_fixture.editor(), folder,
                                                       &m_fixture.window());
    recovery->setDelays(10, 50);
    return recovery;
}

void TestRecovery::restart()
{
    m_recovery.reset();
    QVERIFY2(m_fixture.tearDown(), qPrintable(m_fixture.problem()));
    QVERIFY2(m_fixture.setUp(), qPrintable(m_fixture.problem()));
    m_recovery = startRecovery(recoveryFolder());
}

QStringList TestRecovery::copies() const
{
    return QDir(recoveryFolder()).entryList({QStringLiteral("*.recovery*")}, QDir::Files | QDir::Hidden);
}

void TestRecovery::typeAtEnd(const QString &text)
{
    RichEdit &editor = m_fixture.editor();
    editor.setSelStart(editor.text().size());
    QTest::keyClicks(&editor, text);
}

QString TestRecovery::leaveCopy(const QString &id, const RecoveryRecord &record, int ageSeconds)
{
    const QString path = QDir(recoveryFolder()).filePath(id + QStringLiteral(".recovery"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(encodeRecovery(record)) < 0)
        return QString();
    file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime);
    return path;
}

void TestRecovery::copyHoldsTheUnsavedDocument()
{
    QVERIFY(writeBytes(sheetPath(), "/* caf\xE9 */\r\np { }\r\n"));
    QVERIFY(m_fixture.window().OpenDocument(QStringLiteral("sheet.css"), sheetPath()));
    typeAtEnd(QStringLiteral("h1 { margin: 0; }"));
    // Written from the event loop, a moment after typing stops, never during it.
    QCOMPARE(copies(), QStringList());

    QTRY_COMPARE(copies().size(), 1);
    QVERIFY(m_recovery->writePendingNow());
    const RecoveryParse copy = readCopy(m_recovery->filePath());
    QVERIFY2(copy.ok, qPrintable(copy.error));
    QCOMPARE(copy.record.text, m_fixture.editor().text());
    QCOMPARE(copy.record.text, QString::fromUtf8("/* caf\xC3\xA9 */\r\np { }\r\nh1 { margin: 0; }"));
    QCOMPARE(copy.record.path, sheetPath());
    QCOMPARE(copy.record.title, QStringLiteral("sheet.css"));
    QCOMPARE(copy.record.format.encoding, FileFormat::Encoding::Windows1252);
    QCOMPARE(copy.record.format.lineEnding, FileFormat::LineEnding::CrLf);
    // Whole or not at all: nothing but the session's lock and its copy in the folder.
    QCOMPARE(QDir(recoveryFolder()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    QCOMPARE(QFileInfo(recoveryFolder()).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
             QFileDevice::Permissions());
    // The sheet itself is not touched.
    QCOMPARE(readBytes(sheetPath()), QByteArray("/* caf\xE9 */\r\np { }\r\n"));

    // Later edits replace the copy.
    typeAtEnd(QStringLiteral(" em { }"));
    QVERIFY(m_recovery->writePendingNow());
    QCOMPARE(readCopy(m_recovery->filePath()).record.text, m_fixture.editor().text());
}

void TestRecovery::copyGoesWhenNothingIsUnsaved_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("saved") << "save";
    QTest::newRow("New, answered No") << "new";
    QTest::newRow("another sheet opened") << "open";
    QTest::newRow("edits undone") << "undo";
    QTest::newRow("normal exit") << "exit";
}

void TestRecovery::copyGoesWhenNothingIsUnsaved()
{
    QFETCH(QString, how);
    QVERIFY(writeBytes(sheetPath(), "p { }\n"));
    const QString other = m_work->filePath(QStringLiteral("other.css"));
    QVERIFY(writeBytes(other, "a { }\n"));
    QVERIFY(m_fixture.window().OpenDocument(QStringLiteral("sheet.css"), sheetPath()));
    typeAtEnd(QStringLiteral("h1"));
    QVERIFY(m_recovery->writePendingNow());
    QVERIFY(QFileInfo::exists(m_recovery->filePath()));

    if (how == QLatin1String("save")) {
        QVERIFY(m_fixture.window().Save());
    } else if (how == QLatin1String("new")) {
        m_fixture.dialogs().answerMessage(DialogSeam::No);
        m_fixture.window().New();
    } else if (how == QLatin1String("open")) {
        QVERIFY(m_fixture.window().OpenDocument(QStringLiteral("other.css"), other));
    } else if (how == QLatin1String("undo")) {
        m_fixture.editor().undo();
        m_fixture.editor().undo();
    } else {
        m_recovery->endSession();
        QVERIFY(!QFileInfo::exists(m_recovery->filePath()));
        QCOMPARE(QDir(recoveryFolder()).entryList(QDir::Files | QDir::Hidden), QStringList());
        return;
    }
    QVERIFY(m_recovery->writePendingNow());
    QVERIFY(!QFileInfo::exists(m_recovery->filePath()));
    // An empty document after New holds nothing to keep either.
    QTest::qWait(80);
    QVERIFY(m_recovery->writePendingNow());
    QVERIFY(!QFileInfo::exists(m_recovery->filePath()));
}

void TestRecovery::restoredCopyIsAnEditedDocument_data()
{
    QTest::addColumn<bool>("titled");
    QTest::newRow("saved sheet") << true;
    QTest::newRow("sheet never saved") << false;
}

void TestRecovery::restoredCopyIsAnEditedDocument()
{
    QFETCH(bool, titled);
    const QByteArray onDisk("p { color: blue; }\n");
    if (titled) {
        QVERIFY(writeBytes(sheetPath(), onDisk));
        QVERIFY(m_fixture.window().OpenDocument(QStringLiteral("sheet.css"), sheetPath()));
    }
    typeAtEnd(QStringLiteral("h1 { content: \""));
    m_fixture.editor().setSelText(QString::fromUtf8("\xE2\x98\x83\"; }"));
    const QString typed = m_fixture.editor().text();
    QVERIFY(m_recovery->writePendingNow());
    const QString leftCopy = m_recovery->filePath();
    restart();

    m_fixture.dialogs().answerMessage(DialogSeam::Yes);
    m_recovery->offerLeftOvers();
    const auto &messages = m_fixture.dialogs().messages();
    QCOMPARE(messages.size(), 1);
    const QString title = titled ? QStringLiteral("sheet.css") : QStringLiteral("Untitled");
    QVERIFY2(messages.first().text.startsWith(RestoreQuestion + title + QStringLiteral(" from ")),
             qPrintable(messages.first().text));
    QVERIFY2(messages.first().text.contains(QString::number(QDate::currentDate().year())),
             qPrintable(messages.first().text));
    QCOMPARE(messages.first().flags & DialogSeam::ButtonMask, int(DialogSeam::YesNo));

    Form1 &window = m_fixture.window();
    QCOMPARE(m_fixture.editor().text(), typed);
    QCOMPARE(window.DocTitle(), title);
    QCOMPARE(window.DocPath(), titled ? sheetPath() : QString());
    QVERIFY(window.document().isModified());
    QCOMPARE(window.SavedText(), titled ? QStringLiteral("p { color: blue; }\r\n") : QString());
    QCOMPARE(window.windowTitle(), QStringLiteral("Sheetsmith / ") + title);
    if (titled)
        QCOMPARE(readBytes(sheetPath()), onDisk);
    // The text is in this session's copy now, and the left one is gone.
    QVERIFY(!QFileInfo::exists(leftCopy));
    QCOMPARE(readCopy(m_recovery->filePath()).record.text, typed);
    QCOMPARE(copies(), QStringList{QFileInfo(m_recovery->filePath()).fileName()});
    // Closing asks to save it.
    m_fixture.dialogs().answerMessage(DialogSeam::Cancel);
    QVERIFY(!window.close());
    QCOMPARE(messages.last().text, QStringLiteral("Saves Changes to ") + title + QStringLiteral("?"));
}

void TestRecovery::noAsksAgainBeforeDeleting_data()
{
    QTest::addColumn<int>("second");
    QTest::newRow("No, then No keeps the copy") << int(DialogSeam::No);
    QTest::newRow("No, then Yes deletes it") << int(DialogSeam::Yes);
}

void TestRecovery::noAsksAgainBeforeDeleting()
{
    QFETCH(int, second);
    typeAtEnd(QStringLiteral("p { }"));
    QVERIFY(m_recovery->writePendingNow());
    const QString leftCopy = m_recovery->filePath();
    const QByteArray copyBytes = readBytes(leftCopy);
    restart();

    m_fixture.dialogs().answerMessage(DialogSeam::No);
    m_fixture.dialogs().answerMessage(second);
    m_recovery->offerLeftOvers();
    const auto &messages = m_fixture.dialogs().messages();
    QCOMPARE(messages.size(), 2);
    QVERIFY(messages.at(0).text.startsWith(RestoreQuestion + QStringLiteral("Untitled from ")));
    QVERIFY2(messages.at(1).text.startsWith(QStringLiteral("Delete the unsaved changes to Untitled from ")),
             qPrintable(messages.at(1).text));
    // Deleting is not what Return does.
    QVERIFY(messages.at(1).flags & DialogSeam::DefaultButton2);
    QCOMPARE(m_fixture.editor().text(), QString());
    QVERIFY(!m_fixture.window().document().isModified());

    if (second == DialogSeam::Yes) {
        QVERIFY(!QFileInfo::exists(leftCopy));
    } else {
        QCOMPARE(readBytes(leftCopy), copyBytes);
        // Offered again at the next start.
        restart();
        m_fixture.dialogs().answerMessage(DialogSeam::No);
        m_fixture.dialogs().answerMessage(DialogSeam::No);
        m_recovery->offerLeftOvers();
        QCOMPARE(m_fixture.dialogs().messages().size(), 2);
    }
    QCOMPARE(QDir(recoveryFolder()).entryList({QStringLiteral("*.lock")}, QDir::Files).size(), 1);
}

void TestRecovery::severalCopiesAreOfferedOneByOne()
{
    QVERIFY(writeBytes(sheetPath(), "p { }\n"));
    const QDateTime saved = QDateTime::currentDateTimeUtc();
    const QString older = leaveCopy(QStringLiteral("older"),
                                    {QStringLiteral("sheet.css"), sheetPath(), FileFormat{}, QStringLiteral("p { } a { }"), saved}, 120);
    const QString newer = leaveCopy(QStringLiteral("newer"),
                                    {QStringLiteral("Untitled"), QString(), FileFormat{}, QStringLiteral("b { }"), saved}, 60);
    QVERIFY(!older.isEmpty() && !newer.isEmpty());

    // Both restored: the second asks about the first one's unsaved text first.
    m_fixture.dialogs().answerMessage(DialogSeam::Yes);
    m_fixture.dialogs().answerMessage(DialogSeam::Yes);
    m_fixture.dialogs().answerMessage(DialogSeam::No);
    m_recovery->offerLeftOvers();
    const auto &messages = m_fixture.dialogs().messages();
    QCOMPARE(messages.size(), 3);
    QVERIFY(messages.at(0).text.startsWith(RestoreQuestion + QStringLiteral("sheet.css from ")));
    QVERIFY(messages.at(1).text.startsWith(RestoreQuestion + QStringLiteral("Untitled from ")));
    QCOMPARE(messages.at(2).text, QStringLiteral("Saves Changes to sheet.css?"));
    QCOMPARE(m_fixture.editor().text(), QStringLiteral("b { }"));
    QCOMPARE(m_fixture.window().DocTitle(), QStringLiteral("Untitled"));
    QVERIFY(!QFileInfo::exists(older));
    QVERIFY(!QFileInfo::exists(newer));
    QCOMPARE(readBytes(sheetPath()), QByteArray("p { }\n"));
}

void TestRecovery::damagedCopyIsKeptAside_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("reason");
    QTest::newRow("cut short") << "cut" << "cut short";
    QTest::newRow("not a recovery copy") << "other" << "not a recovery file";
    QTest::newRow("without read permission") << "unreadable" << "cannot be read";
}

void TestRecovery::damagedCopyIsKeptAside()
{
    SHEETSMITH_RUN_UNPRIVILEGED();
    QFETCH(QString, damage);
    QFETCH(QString, reason);
    const QString copy = leaveCopy(QStringLiteral("left"),
                                   {QStringLiteral("Untitled"), QString(), FileFormat{}, QStringLiteral("p { color: red; }"),
                                    QDateTime::currentDateTimeUtc()},
                                   10);
    QVERIFY(!copy.isEmpty());
    QByteArray bytes = readBytes(copy);
    if (damage == QLatin1String("cut"))
        bytes.chop(3);
    else if (damage == QLatin1String("other"))
        bytes = "p { color: red; }";
    QVERIFY(writeBytes(copy, bytes));
    if (damage == QLatin1String("unreadable"))
        QVERIFY(QFile::setPermissions(copy, QFileDevice::WriteOwner));

    m_fixture.dialogs().answerMessage(DialogSeam::Ok);
    m_recovery->offerLeftOvers();
    const auto &messages = m_fixture.dialogs().messages();
    QCOMPARE(messages.size(), 1);
    const QString aside = copy + QStringLiteral(".damaged");
    QVERIFY2(messages.first().text.contains(QDir::toNativeSeparators(copy)), qPrintable(messages.first().text));
    QVERIFY2(messages.first().text.contains(reason), qPrintable(messages.first().text));
    QVERIFY2(messages.first().text.contains(QDir::toNativeSeparators(aside)), qPrintable(messages.first().text));
    QVERIFY(!QFileInfo::exists(copy));
    QVERIFY(QFileInfo::exists(aside));
    QCOMPARE(m_fixture.editor().text(), QString());
    QVERIFY(!m_fixture.window().document().isModified());
    // Kept aside, it is not offered again.
    restart();
    m_recovery->offerLeftOvers();
    QCOMPARE(m_fixture.dialogs().messages().size(), 0);
    QFile::setPermissions(aside, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TestRecovery::copyOfARunningProgramIsLeftAlone()
{
    // Another program's session in this folder, still running: it holds its lock.
    QLockFile theirLock(QDir(recoveryFolder()).filePath(QStringLiteral("theirs.lock")));
    QVERIFY(theirLock.tryLock(0));
    const QString theirs = leaveCopy(QStringLiteral("theirs"),
                                     {QStringLiteral("Untitled"), QString(), FileFormat{}, QStringLiteral("p { }"),
                                      QDateTime::currentDateTimeUtc()},
                                     5);
    const QByteArray bytes = readBytes(theirs);

    m_recovery->offerLeftOvers();
    QCOMPARE(m_fixture.dialogs().messages().size(), 0);
    QCOMPARE(readBytes(theirs), bytes);
    // Once that program has ended, the copy is offered.
    theirLock.unlock();
    m_fixture.dialogs().answerMessage(DialogSeam::No);
    m_fixture.dialogs().answerMessage(DialogSeam::No);
    m_recovery->offerLeftOvers();
    QCOMPARE(m_fixture.dialogs().messages().size(), 2);
}

void TestRecovery::noFolderForCopiesIsToldAtStart()
{
    // A file stands where the folder would be made: no user can make it.
    const QString blocked = m_work->filePath(QStringLiteral("blocked"));
    QVERIFY(writeBytes(blocked, "x"));
    m_recovery = startRecovery(blocked + QStringLiteral("/recovery"));
    QVERIFY(!m_recovery->isActive());

    m_fixture.dialogs().answerMessage(DialogSeam::Ok);
    m_recovery->offerLeftOvers();
    QCOMPARE(m_fixture.dialogs().messages().size(), 1);
    QVERIFY2(m_fixture.dialogs().messages().first().text.contains(QDir::toNativeSeparators(blocked)),
             qPrintable(m_fixture.dialogs().messages().first().text));
    // Typing goes on without further words.
    typeAtEnd(QStringLiteral("p { }"));
    QTest::qWait(80);
    QCOMPARE(m_fixture.dialogs().messages().size(), 1);
}

void TestRecovery::failedCopyIsToldOnceUntilItWorks()
{
    // A folder where the copy goes: every write of it fails.
    QVERIFY(QDir().mkpath(m_recovery->filePath()));
    m_fixture.dialogs().answerMessage(DialogSeam::Ok);
    typeAtEnd(QStringLiteral("p"));
    QVERIFY(!m_recovery->writePendingNow());
    QTRY_COMPARE(m_fixture.dialogs().messages().size(), 1);
    QVERIFY(m_fixture.dialogs().messages().first().text.contains(QDir::toNativeSeparators(m_recovery->filePath())));
    typeAtEnd(QStringLiteral("q"));
    QVERIFY(!m_recovery->writePendingNow());
    QTest::qWait(30);
    QCOMPARE(m_fixture.dialogs().messages().size(), 1);

    QVERIFY(QDir().rmdir(m_recovery->filePath()));
    typeAtEnd(QStringLiteral("r"));
    QVERIFY(m_recovery->writePendingNow());
    QCOMPARE(readCopy(m_recovery->filePath()).record.text, QStringLiteral("pqr"));
    // Working again, a new failure is a new thing to tell.
    QVERIFY(QFile::remove(m_recovery->filePath()));
    QVERIFY(QDir().mkpath(m_recovery->filePath()));
    m_fixture.dialogs().answerMessage(DialogSeam::Ok);
    typeAtEnd(QStringLiteral("s"));
    QVERIFY(!m_recovery->writePendingNow());
    QTRY_COMPARE(m_fixture.dialogs().messages().size(), 2);
    QVERIFY(QDir().rmdir(m_recovery->filePath()));
}

void TestRecovery::copyOnAFullDiskIsToldOnce()
{
    SHEETSMITH_RUN_ON_SMALL_DISK(64 * 1024);
    const QString folder = smallDiskFolder().isEmpty() ? recoveryFolder() : smallDiskFolder() + QStringLiteral("/recovery");
    m_recovery = startRecovery(folder);
    QVERIFY(m_recovery->isActive());
    m_fixture.dialogs().answerMessage(DialogSeam::Ok);
    QString reason;
    {
        const FullDisk full;
        reason = full.reason();
        m_fixture.editor().setText(QString(200 * 1024, u'x'));
        typeAtEnd(QStringLiteral("y"));
        QVERIFY(!m_recovery->writePendingNow());
        typeAtEnd(QStringLiteral("z"));
        QVERIFY(!m_recovery->writePendingNow());
    }
    QTRY_COMPARE(m_fixture.dialogs().messages().size(), 1);
    const QString told = m_fixture.dialogs().messages().first().text;
    QVERIFY2(told.contains(QDir::toNativeSeparators(m_recovery->filePath())), qPrintable(told));
    QVERIFY2(told.contains(reason), qPrintable(told));
    QVERIFY(!QFileInfo::exists(m_recovery->filePath()));
    QCOMPARE(m_fixture.editor().text().size(), 200 * 1024 + 2);
}

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
