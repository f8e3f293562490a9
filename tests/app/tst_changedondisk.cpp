#include "text/diskstate.h"
#include "editor/richedit.h"
#include "text/documentfile.h"
#include "support/files.h"
#include "support/windowfixture.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace sheetsmith;

Q_DECLARE_METATYPE(sheetsmith::DiskState::Change)

namespace {

using Change = DiskState::Change;

// Moves the file's modification time, as a later write by another program would.
bool moveTime(const QString &path, int seconds)
{
    QFile f(path);
    const QDateTime time = QFileInfo(path).lastModified().addSecs(seconds);
    return f.open(QIODevice::ReadWrite) && f.setFileTime(time, QFileDevice::FileModificationTime);
}

const QString ChangedQuestion = QStringLiteral(
    "sheet.css has been changed by another program since it was opened. Overwrite it?");
const QString ReloadQuestion = QStringLiteral("sheet.css has been changed by another program. Reload it?");

} // namespace

// A sheet changed on disk by another program while it is open: the rule that tells,
// Save asking before it writes over the other program's work, and the offer to
// reload when the window becomes active again. And edits never dropped unasked for
// another sheet.
class TestChangedOnDisk : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void diskStateTellsWhatHappened_data();
    void diskStateTellsWhatHappened();
    void saveAsksBeforeOverwriting_data();
    void saveAsksBeforeOverwriting();
    void ownSavesAreNotChangesByOthers();
    void activationOffersReloadOncePerChange();
    void activationLeavesUnsavedEditsAlone();
    void openingAnotherSheetOffersToSaveEdits_data();
    void openingAnotherSheetOffersToSaveEdits();

private:
    // Opens bytes as sheet.css; returns its path.
    QString openSheet(const QByteArray &bytes);
    void activate();

    WindowFixture m_fixture;
};

void TestChangedOnDisk::init()
{
    QVERIFY2(m_fixture.setUp(), qPrintable(m_fixture.problem()));
}

void TestChangedOnDisk::cleanup()
{
    QVERIFY2(m_fixture.tearDown(), qPrintable(m_fixture.problem()));
}

QString TestChangedOnDisk::openSheet(const QByteArray &bytes)
{
    if (!m_fixture.open(bytes))
        return QString();
    return m_fixture.window().DocPath();
}

void TestChangedOnDisk::activate()
{
    QEvent activation(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&m_fixture.window(), &activation);
}

void TestChangedOnDisk::diskStateTellsWhatHappened_data()
{
    QTest::addColumn<QString>("happening");
    QTest::addColumn<Change>("expected");

    QTest::newRow("left alone") << "none" << Change::Unchanged;
    QTest::newRow("touched, same bytes") << "touch" << Change::Unchanged;
    QTest::newRow("same size, other bytes, later time") << "rewrite same size" << Change::Changed;
    QTest::newRow("grown") << "append" << Change::Changed;
    QTest::newRow("emptied") << "truncate" << Change::Changed;
    QTest::newRow("deleted") << "delete" << Change::Removed;
    QTest::newRow("replaced by a folder") << "folder" << Change::NotAFile;
    QTest::newRow("nothing was known") << "unknown" << Change::Unchanged;
}

void TestChangedOnDisk::diskStateTellsWhatHappened()
{
    QFETCH(QString, happening);
    QFETCH(Change, expected);
    const QByteArray bytes("p { color: blue; }\n");
    const QString path = m_fixture.writeFile(QStringLiteral("site.css"), bytes);
    const DiskState state = happening == QLatin1String("unknown") ? DiskState() : DiskState::of(path, bytes);

    if (happening == QLatin1String("touch")) {
        QVERIFY(moveTime(path, 5));
    } else if (happening == QLatin1String("rewrite same size")) {
        QVERIFY(writeBytes(path, "p { color: pink; }\n"));
        QVERIFY(moveTime(path, 5));
    } else if (happening == QLatin1String("append")) {
        QVERIFY(writeBytes(path, bytes + "h1 { }\n"));
    } else if (happening == QLatin1String("truncate")) {
        QVERIFY(writeBytes(path, QByteArray()));
    } else if (happening == QLatin1String("delete")) {
        QVERIFY(QFile::remove(path));
    } else if (happening == QLatin1String("folder")) {
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));
    } else if (happening == QLatin1String("unknown")) {
        QVERIFY(QFile::remove(path));
    }
    QCOMPARE(state.compare(path), expected);
}

void TestChangedOnDisk::saveAsksBeforeOverwriting_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("Yes overwrites") << int(DialogSeam::Yes);
    QTest::newRow("No cancels the save") << int(DialogSeam::No);
}

void TestChangedOnDisk::saveAsksBeforeOverwriting()
{
    QFETCH(int, answer);
    const QString path = openSheet("p { color: blue; }\n");
    QVERIFY(!path.isEmpty());
    RichEdit &editor = m_fixture.editor();
    editor.setSelStart(editor.text().size());
    editor.setSelText(QStringLiteral("h1 { }"));
    const QString edited = editor.text();
    // Another program writes its own version meanwhile.
    const QByteArray theirs("p { color: green; }\nem { }\n");
    QVERIFY(writeBytes(path, theirs));

    m_fixture.dialogs().answerMessage(answer);
    const bool saved = m_fixture.window().Save();
    QCOMPARE(m_fixture.dialogs().messages().size(), 1);
    QCOMPARE(m_fixture.dialogs().messages().first().text, ChangedQuestion);
    QCOMPARE(m_fixture.dialogs().messages().first().flags & DialogSeam::ButtonMask, int(DialogSeam::YesNo));
    QCOMPARE(saved, answer == DialogSeam::Yes);
    QCOMPARE(editor.text(), edited);
    if (saved) {
        QCOMPARE(readBytes(path), QByteArray("p { color: blue; }\nh1 { }"));
        QVERIFY(!m_fixture.window().document().isModified());
    } else {
        QCOMPARE(readBytes(path), theirs);
        QVERIFY(m_fixture.window().document().isModified());
    }
}

void TestChangedOnDisk::ownSavesAreNotChangesByOthers()
{
    const QString path = openSheet("p { }\n");
    QVERIFY(!path.isEmpty());
    RichEdit &editor = m_fixture.editor();
    for (const char *addition : {"a { }", "b { }", "c { }"}) {
        editor.setSelStart(editor.text().size());
        editor.setSelText(QString::fromLatin1(addition));
        QVERIFY(m_fixture.window().Save());
        activate();
    }
    // A file that only had its time moved holds what this program wrote.
    QVERIFY(moveTime(path, 30));
    editor.setSelText(QStringLiteral("d { }"));
    QVERIFY(m_fixture.window().Save());
    QCOMPARE(m_fixture.dialogs().messages().size(), 0);
    QCOMPARE(readBytes(path), QByteArray("p { }\na { }b { }c { }d { }"));
}

void TestChangedOnDisk::activationOffersReloadOncePerChange()
{
    const QString path = openSheet("p { color: blue; }\n");
    QVERIFY(!path.isEmpty());
    activate();
    QCOMPARE(m_fixture.dialogs().messages().size(), 0);

    QVERIFY(writeBytes(path, "p { color: green; }\n"));
    m_fixture.dialogs().answerMessage(DialogSeam::No);
    activate();
    activate(); // the same change is not offered twice
    QCOMPARE(m_fixture.dialogs().messages().size(), 1);
    QCOMPARE(m_fixture.dialogs().messages().first().text, ReloadQuestion);
    QCOMPARE(m_fixture.editor().text(), QStringLiteral("p { color: blue; }\r\n"));

    // A further change is a new one; Yes reads it in as the document.
    QVERIFY(writeBytes(path, "p { color: red; }\nem { }\n"));
    m_fixture.dialogs().answerMessage(DialogSeam::Yes);
    activate();
    QCOMPARE(m_fixture.dialogs().messages().size(), 2);
    QCOMPARE(m_fixture.editor().text(), QStringLiteral("p { color: red; }\r\nem { }\r\n"));
    QVERIFY(!m_fixture.window().document().isModified());
    // What was read in is what Save now compares with.
    m_fixture.editor().setSelText(QStringLiteral("/* ok */"));
    QVERIFY(m_fixture.window().Save());
    QCOMPARE(m_fixture.dialogs().messages().size(), 2);
}

void TestChangedOnDisk::activationLeavesUnsavedEditsAlone()
{
    const QString path = openSheet("p { color: blue; }\n");
    QVERIFY(!path.isEmpty());
    m_fixture.editor().setSelText(QStringLiteral("/* mine */"));
    const QString edited = m_fixture.editor().text();
    QVERIFY(writeBytes(path, "p { color: green; }\n"));
    activate();
    QCOMPARE(m_fixture.dialogs().messages().size(), 0);
    QCOMPARE(m_fixture.editor().text(), edited);
    // Deleted or replaced by a folder: nothing to reload, nothing asked.
    m_fixture.editor().undo();
    QVERIFY(!m_fixture.window().document().isModified());
    QVERIFY(QFile::remove(path));
    activate();
    QVERIFY(QDir().mkdir(path));
    activate();
    QCOMPARE(m_fixture.dialogs().messages().size(), 0);
}

void TestChangedOnDisk::openingAnotherSheetOffersToSaveEdits_data()
{
    QTest::addColumn<bool>("fromRecent");
    QTest::addColumn<int>("answer");
    for (const bool recent : {false, true}) {
        const char *how = recent ? "recent entry" : "Open";
        QTest::addRow("%s, Yes saves first", how) << recent << int(DialogSeam::Yes);
        QTest::addRow("%s, No lets the edits go", how) << recent << int(DialogSeam::No);
        QTest::addRow("%s, Cancel keeps them", how) << recent << int(DialogSeam::Cancel);
    }
}

void TestChangedOnDisk::openingAnotherSheetOffersToSaveEdits()
{
    QFETCH(bool, fromRecent);
    QFETCH(int, answer);
    const QString other = m_fixture.writeFile(QStringLiteral("other.css"), "em { }\n");
    QVERIFY(m_fixture.window().OpenDocument(QStringLiteral("other.css"), other));
    const QString path = openSheet("p { }\n"); // other.css is recent entry 2 now
    m_fixture.editor().setSelText(QStringLiteral("/* mine */"));
    const QString edited = m_fixture.editor().text();

    m_fixture.dialogs().answerMessage(answer);
    if (answer != DialogSeam::Cancel && !fromRecent)
        m_fixture.dialogs().answerFile(other);
    if (fromRecent)
        m_fixture.window().openRecent(2);
    else
        m_fixture.window().runCommand(QStringLiteral("Open"));
    QCOMPARE(m_fixture.dialogs().messages().size(), 1);
    QCOMPARE(m_fixture.dialogs().messages().first().text, QStringLiteral("Saves Changes to sheet.css?"));
    QCOMPARE(decodeDocument(readBytes(path)).text == edited, answer == DialogSeam::Yes);
    QCOMPARE(m_fixture.editor().text(), answer == DialogSeam::Cancel ? edited : QStringLiteral("em { }\r\n"));
}

QTEST_MAIN(TestChangedOnDisk)
#include "tst_changedondisk.moc"
