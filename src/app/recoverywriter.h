#pragma once

#include "app/recoveryfile.h"

#include <QMutex>
#include <QObject>
#include <QString>
#include <QThread>
#include <QWaitCondition>

#include <optional>

namespace sheetsmith {

// Writes and removes one recovery file on a thread of its own, so that encoding and
// writing a large sheet never holds up typing. The record handed over shares the
// editor's text (QString is implicitly shared), so handing it over copies nothing.
//
// Only the latest request matters: a request made while another waits replaces it,
// and requests are carried out in the order made, so a removal is never undone by a
// write asked for before it.
class RecoveryWriter : public QObject
{
    Q_OBJECT

public:
    explicit RecoveryWriter(const QString &filePath, QObject *parent = nullptr);
    ~RecoveryWriter() override; // waits for the request being carried out

    QString filePath() const { return m_filePath; }

    // The file becomes this record, whole or not at all (written beside it and
    // renamed into place).
    void write(RecoveryRecord record);
    void remove();
    // Returns once every request made so far has been carried out; true when the last
    // one succeeded.
    bool waitUntilDone();

signals:
    // After each request carried out, on the thread that owns this object. ok false
    // with a sentence naming the file and the reason when it failed.
    void finished(bool ok, const QString &problem);

private:
    struct Request
    {
        std::optional<RecoveryRecord> record; // nothing: remove the file
    };

    void post(Request request);
    void runPending(); // on the worker thread
    bool writeFile(const RecoveryRecord &record, QString *problem) const;
    bool removeFile(QString *problem) const;

    const QString m_filePath;
    QThread m_thread;
    QObject m_worker; // lives on m_thread; requests run as its queued calls

    QMutex m_mutex;
    QWaitCondition m_idle;
    std::optional<Request> m_pending;
    bool m_busy = false;
    bool m_lastOk = true;
};

} // namespace sheetsmith
