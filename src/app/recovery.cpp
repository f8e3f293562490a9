#include "app/recovery.h"

#include "app/recoveryfile.h"
#include "app/recoverywriter.h"
#include "app/sheetdocument.h"
#include "dialogs/dialogseam.h"
#include "editor/richedit.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QLockFile>
#include <QStandardPaths>
#include <QUuid>

namespace sheetsmith {

namespace {

const QString CopySuffix = QStringLiteral(".recovery");
const QString LockSuffix = QStringLiteral(".lock");

// A copy holds the text as UTF-8 (three bytes a character at most) beside a short
// description. One far larger than the largest document that can be opened is not
// read into memory; it is kept aside like a damaged one.
constexpr qint64 MaxCopySize = 3 * MaxDocumentFileSize + 64 * 1024;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString readableTime(const QDateTime &time)
{
    const QDateTime local = time.toLocalTime();
    const QLocale locale;
    return locale.toString(local.date(), QLocale::LongFormat) + QStringLiteral(", ")
        + locale.toString(local.time(), QLocale::ShortFormat);
}

// A lock that a program keeps for its whole run. Its age says nothing about whether
// its program still runs, only the process it names does; while held it is also
// locked with the system, so no other program can take it over, and a program that
// ended, however it ended, leaves one that the next can take.
std::unique_ptr<QLockFile> sessionLock(const QString &path)
{
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    return lock;
}

} // namespace

DocumentRecovery::DocumentRecovery(SheetDocument &document, RichEdit &editor, const QString &folder,
                                   QWidget *owner)
    : QObject(nullptr)
    , m_document(document)
    , m_editor(editor)
    , m_owner(owner)
    , m_folder(folder)
    , m_id(QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    m_idle.setSingleShot(true);
    m_longest.setSingleShot(true);
    setDelays(DefaultIdleDelayMs, DefaultLongestDelayMs);
    connect(&m_idle, &QTimer::timeout, this, &DocumentRecovery::writeNow);
    connect(&m_longest, &QTimer::timeout, this, &DocumentRecovery::writeNow);

    if (m_folder.isEmpty()) {
        m_problem = QStringLiteral("there is no folder for the program's data (no home folder is set).");
    } else if (!QDir().mkpath(m_folder)) {
        m_problem = QStringLiteral("the folder \"%1\" cannot be created.").arg(shown(m_folder));
    } else {
        // The copies hold the author's text: only the author may read them.
        QFile::setPermissions(m_folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        auto lock = sessionLock(QDir(m_folder).filePath(m_id + LockSuffix));
        if (lock->tryLock(0))
            m_lock = std::move(lock);
        else
            m_problem = QStringLiteral("no file can be made in the folder \"%1\".").arg(shown(m_folder));
    }
    m_writer = std::make_unique<RecoveryWriter>(filePath());
    connect(m_writer.get(), &RecoveryWriter::finished, this, &DocumentRecovery::onWriterFinished);

    m_settledText = m_editor.text();
    connect(&m_editor, &QPlainTextEdit::textChanged, this, &DocumentRecovery::onTextChanged);
    connect(&m_document, &SheetDocument::editsSettled, this, &DocumentRecovery::onEditsSettled);
    connect(&m_document, &SheetDocument::restored, this, &DocumentRecovery::onRestored);
}

DocumentRecovery::~DocumentRecovery()
{
    disconnect(&m_editor, nullptr, this, nullptr);
    m_idle.stop();
    m_longest.stop();
    m_writer.reset(); // finishes what it was asked to do
}

QString DocumentRecovery::defaultFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/recovery");
}

QString DocumentRecovery::filePath() const
{
    return QDir(m_folder).filePath(m_id + CopySuffix);
}

void DocumentRecovery::setDelays(int idleMs, int longestMs)
{
    m_idle.setInterval(idleMs);
    m_longest.setInterval(longestMs);
}

// ---- Keeping this session's copy ----

void DocumentRecovery::onTextChanged()
{
    if (!isActive() || m_ended)
        return;
    m_idle.start();
    if (!m_longest.isActive())
        m_longest.start();
}

void DocumentRecovery::onEditsSettled()
{
    m_idle.stop();
    m_longest.stop();
    m_settledText = m_editor.text();
    if (isActive() && !m_ended)
        m_writer->remove();
}

void DocumentRecovery::onRestored()
{
    // Restored text is in no file yet: it is kept at once, not after the next edit.
    m_settledText = QString();
    if (isActive() && !m_ended)
        writeNow();
}

void DocumentRecovery::writeNow()
{
    m_idle.stop();
    m_longest.stop();
    // Shares the editor's text: no copy of it is made here.
    const QString text = m_editor.text();
    if (text == m_settledText || text == m_document.savedText()) {
        m_writer->remove();
        return;
    }
    RecoveryRecord record;
    record.title = m_document.title();
    record.path = m_document.path();
    record.format = m_document.format();
    record.text = text;
    record.saved = QDateTime::currentDateTimeUtc();
    m_writer->write(std::move(record));
}

bool DocumentRecovery::writePendingNow()
{
    if (m_idle.isActive() || m_longest.isActive())
        writeNow();
    return m_writer->waitUntilDone();
}

void DocumentRecovery::onWriterFinished(bool ok, const QString &problem)
{
    if (ok) {
        m_writeProblemTold = false;
        return;
    }
    // Told once until a copy can be written again: the author keeps typing meanwhile.
    if (m_writeProblemTold)
        return;
    m_writeProblemTold = true;
    MsgBox(m_owner,
           problem + QStringLiteral("\n\nUntil it can be written, unsaved changes are not protected against "
                                    "the program ending unexpectedly."),
           DialogSeam::Warning);
}

void DocumentRecovery::endSession()
{
    if (m_ended)
        return;
    m_ended = true;
    m_idle.stop();
    m_longest.stop();
    if (isActive()) {
        m_writer->remove();
        m_writer->waitUntilDone();
        m_lock->unlock();
    }
}

// ---- Copies left by sessions that ended without closing ----

void DocumentRecovery::offerLeftOvers()
{
    if (!isActive()) {
        MsgBox(m_owner,
               QStringLiteral("Sheetsmith cannot keep recovery copies of unsaved changes: ") + m_problem
                   + QStringLiteral("\n\nUnsaved changes are not protected against the program ending "
                                    "unexpectedly."),
               DialogSeam::Warning);
        return;
    }
    // Oldest first, so several are offered in the order they were left.
    const QFileInfoList copies = QDir(m_folder).entryInfoList({QLatin1Char('*') + CopySuffix}, QDir::Files,
                                                              QDir::Time | QDir::Reversed);
    for (const QFileInfo &copy : copies) {
        if (copy.fileName() != m_id + CopySuffix)
            offer(copy);
    }
}

void DocumentRecovery::offer(const QFileInfo &copy)
{
    const QString id = copy.fileName().chopped(CopySuffix.size());
    // Held while the copy is dealt with, so that a program starting meanwhile leaves
    // it alone too. Taking it fails while the copy's own program is running.
    const std::unique_ptr<QLockFile> lock = sessionLock(QDir(m_folder).filePath(id + LockSuffix));
    if (!lock->tryLock(0))
        return;

    const QString path = copy.absoluteFilePath();
    if (copy.size() > MaxCopySize) {
        keepAside(path, QStringLiteral("it is larger than any recovery copy can be"));
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        keepAside(path, QStringLiteral("it cannot be read (%1)").arg(file.errorString()));
        return;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        keepAside(path, QStringLiteral("it cannot be read (%1)").arg(file.errorString()));
        return;
    }
    file.close();
    const RecoveryParse parse = decodeRecovery(bytes);
    if (!parse.ok) {
        keepAside(path, parse.error);
        return;
    }

    const RecoveryRecord &record = parse.record;
    const QString what = record.title + QStringLiteral(" from ") + readableTime(record.saved);
    if (MsgBox(m_owner,
               QStringLiteral("Sheetsmith was not closed properly. Restore the unsaved changes to ") + what
                   + QStringLiteral("?"),
               DialogSeam::YesNo | DialogSeam::Question)
        == DialogSeam::Yes) {
        restore(path, record);
        return;
    }
    const int answer = MsgBox(m_owner,
                              QStringLiteral("Delete the unsaved changes to ") + what
                                  + QStringLiteral(" for good? They cannot be restored afterwards.\n\n"
                                                   "No keeps them to be offered at the next start."),
                              DialogSeam::YesNo | DialogSeam::Warning | DialogSeam::DefaultButton2);
    if (answer == DialogSeam::Yes && !file.remove()) {
        MsgBox(m_owner,
               QStringLiteral("The recovery copy \"%1\" cannot be deleted: %2.").arg(shown(path), file.errorString()),
               DialogSeam::Warning);
    }
}

void DocumentRecovery::restore(const QString &copyPath, const RecoveryRecord &record)
{
    // The document open now may hold edits of its own; they are not thrown away
    // unasked. Cancel keeps the copy for another time.
    if (m_document.isModified() && !m_document.askToSave())
        return;
    m_document.restore(record.title, record.path, record.format, record.text);
    // The left copy goes only once this session's own copy holds the text.
    if (m_writer->waitUntilDone())
        QFile::remove(copyPath);
}

void DocumentRecovery::keepAside(const QString &copyPath, const QString &reason)
{
    QString aside = copyPath + QStringLiteral(".damaged");
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = copyPath + QStringLiteral(".damaged%1").arg(n);
    const QString where = QFile::rename(copyPath, aside)
        ? QStringLiteral("It was kept as \"%1\".").arg(shown(aside))
        : QStringLiteral("It was left where it is.");
    MsgBox(m_owner,
           QStringLiteral("The recovery copy \"%1\" cannot be restored: %2. ").arg(shown(copyPath), reason) + where,
           DialogSeam::Warning);
}

} // namespace sheetsmith
