#include "app/recoverywriter.h"

#include <QDir>
#include <QFile>
#include <QMutexLocker>

namespace sheetsmith {

RecoveryWriter::RecoveryWriter(const QString &filePath, QObject *parent)
    : QObject(parent)
    , m_filePath(filePath)
{
    m_thread.setObjectName(QStringLiteral("RecoveryWriter"));
    m_worker.moveToThread(&m_thread);
    m_thread.start(QThread::LowPriority);
}

RecoveryWriter::~RecoveryWriter()
{
    waitUntilDone();
    m_thread.quit();
    m_thread.wait();
}

void RecoveryWriter::write(RecoveryRecord record)
{
    post(Request{std::move(record)});
}

void RecoveryWriter::remove()
{
    post(Request{std::nullopt});
}

void RecoveryWriter::post(Request request)
{
    QMutexLocker lock(&m_mutex);
    const bool runQueued = m_pending.has_value();
    m_pending = std::move(request);
    if (!runQueued)
        QMetaObject::invokeMethod(&m_worker, [this] { runPending(); }, Qt::QueuedConnection);
}

bool RecoveryWriter::waitUntilDone()
{
    QMutexLocker lock(&m_mutex);
    while (m_pending || m_busy)
        m_idle.wait(&m_mutex);
    return m_lastOk;
}

void RecoveryWriter::runPending()
{
    std::optional<Request> request;
    {
        QMutexLocker lock(&m_mutex);
        request.swap(m_pending);
        if (!request)
            return;
        m_busy = true;
    }
    QString problem;
    const bool ok = request->record ? writeFile(*request->record, &problem) : removeFile(&problem);
    // The text is released here, before anyone waiting is woken: the editor's next
    // keystroke then changes its text in place instead of copying it.
    request.reset();
    {
        QMutexLocker lock(&m_mutex);
        m_busy = false;
        m_lastOk = ok;
        if (!m_pending)
            m_idle.wakeAll();
    }
    emit finished(ok, problem);
}

bool RecoveryWriter::writeFile(const RecoveryRecord &record, QString *problem) const
{
    const QString reason = replaceFileWhole(m_filePath, encodeRecovery(record));
    if (reason.isEmpty())
        return true;
    *problem = QStringLiteral("The recovery copy \"%1\" cannot be written: %2")
                   .arg(QDir::toNativeSeparators(m_filePath), reason);
    return false;
}

bool RecoveryWriter::removeFile(QString *problem) const
{
    QFile file(m_filePath);
    if (!file.exists() || file.remove())
        return true;
    *problem = QStringLiteral("The recovery copy \"%1\" cannot be removed: %2.")
                   .arg(QDir::toNativeSeparators(m_filePath), file.errorString());
    return false;
}

} // namespace sheetsmith
