#pragma once

#include "preview/pagenames.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

class QThread;

namespace sheetsmith {

class SettingsStore;

// The preview's page list as stored ("File1", "File2", ... up to the first empty one).
QStringList ListedPreviewPages(const SettingsStore &settings);

// The names used in the listed pages, for completion, kept up to date without ever
// making the window's thread wait for a page.
//
// Each ask compares every listed page's size and modification time with those of its
// last reading (a stat per page, no watcher to lose track of a file that an editor
// replaces by renaming); a new or changed page is read again on a thread of this
// object's own, and until the reading comes back the names are those read before (none
// for a new page). A page that cannot be read or is not HTML gives no names and is
// told once through pageUnreadable, until it reads well again.
class PageNameSource : public QObject
{
    Q_OBJECT

public:
    // listedPages gives the full paths of the pages, in the list's order; it is asked
    // on the window's thread, at every ask and once at construction, when the first
    // readings start.
    explicit PageNameSource(std::function<QStringList()> listedPages, QObject *parent = nullptr);
    ~PageNameSource() override;

    // The names of one kind in the listed pages as read so far, most used first.
    const QList<NameUse> &names(NameKind kind);
    // Whether a reading is on its way.
    bool reading() const { return m_pending > 0; }

signals:
    // A page's name and why its names are not offered.
    void pageUnreadable(const QString &message);
    // A reading came back and the names may have changed.
    void pagesRead();

private:
    struct Stamp
    {
        bool exists = false;
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const Stamp &) const = default;
    };
    struct Page
    {
        Stamp stamp;              // of the file when its reading was asked for
        std::optional<PageNames> names; // the last reading that came back
        quint64 generation = 0;   // of the reading asked for last
    };

    static Stamp stampOf(const QString &path);
    void check();
    void arrived(const QString &path, quint64 generation, const PageReading &reading);

    std::function<QStringList()> m_listedPages;
    QStringList m_listed;
    QHash<QString, Page> m_pages;
    QSet<QString> m_reported;
    quint64 m_generation = 0;
    int m_pending = 0;
    bool m_mergedValid = false;
    std::array<QList<NameUse>, 3> m_merged;
    // The reading thread and its object, made at the first reading. The thread is
    // stopped and waited for before anything else of this object goes.
    std::unique_ptr<QThread> m_thread;
    std::unique_ptr<QObject> m_reader;
};

} // namespace sheetsmith
