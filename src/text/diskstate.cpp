#include "text/diskstate.h"

#include "text/documentfile.h"

#include <QFile>
#include <QFileInfo>
#include <QHashFunctions>

#include <optional>

namespace sheetsmith {

namespace {

// A checksum that only this run of the program compares: fast over hundreds of
// megabytes, with a fixed seed so that equal bytes always give equal sums.
size_t checksumOf(const QByteArray &bytes)
{
    return qHash(QByteArrayView(bytes), size_t(0x5eed));
}

// The bytes of an ordinary file no larger than any document can be; nothing when
// it cannot be read whole.
std::optional<QByteArray> readWhole(const QString &path, qint64 expectedSize)
{
    if (expectedSize > MaxDocumentFileSize)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.read(MaxDocumentFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

} // namespace

DiskState DiskState::of(const QString &path, const QByteArray &bytes)
{
    DiskState state;
    const QFileInfo info(path);
    state.m_known = true;
    state.m_size = info.exists() ? info.size() : bytes.size();
    state.m_modified = info.lastModified();
    state.m_checksum = checksumOf(bytes);
    return state;
}

DiskState DiskState::current(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    const std::optional<QByteArray> bytes = readWhole(path, info.size());
    if (!bytes)
        return {};
    return of(path, *bytes);
}

DiskState::Change DiskState::compare(const QString &path) const
{
    if (!m_known)
        return Change::Unchanged;
    const QFileInfo info(path);
    if (!info.exists())
        return Change::Removed;
    if (!info.isFile())
        return Change::NotAFile;
    if (info.size() != m_size)
        return Change::Changed;
    if (info.lastModified() == m_modified)
        return Change::Unchanged;
    const std::optional<QByteArray> bytes = readWhole(path, info.size());
    if (!bytes || bytes->size() != m_size || checksumOf(*bytes) != m_checksum)
        return Change::Changed;
    return Change::Unchanged;
}

} // namespace sheetsmith
