#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace sheetsmith {

// What a sheet's file looked like when the program last read or wrote it: its size,
// its modification time and a checksum of its bytes. Compared with the file as it is
// now, it tells whether another program has changed the file since.
class DiskState
{
public:
    enum class Change {
        Unchanged,
        Changed,      // other bytes are there now
        Removed,      // nothing is there any more (deleted or moved away)
        NotAFile,     // a folder or something else that is no document stands there now
    };

    // Nothing known: every comparison says Unchanged (an untitled sheet has no file).
    DiskState() = default;

    // The state of the file at path holding bytes, just read from it or written to it.
    static DiskState of(const QString &path, const QByteArray &bytes);
    // The state of the file at path as it is now (it is read); nothing known when it
    // is not there or cannot be read.
    static DiskState current(const QString &path);

    bool isKnown() const { return m_known; }
    qint64 size() const { return m_size; }
    QDateTime modified() const { return m_modified; }

    // How the file at path differs from this state. Size and time alone decide when
    // they agree; when only the time moved (a copy put back, a touch), the bytes are
    // read and their checksum decides, so that nobody is asked about a file whose
    // content is what it was. A file that cannot be read is taken as changed.
    Change compare(const QString &path) const;


    friend bool operator==(const DiskState &, const DiskState &) = default;

private:
    bool m_known = false;
    qint64 m_size = 0;
    QDateTime m_modified;
    size_t m_checksum = 0;
};

} // namespace sheetsmith
