#include "preview/pagenamesource.h"

#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QFileInfo>
#include <QThread>

namespace sheetsmith {

QStringList ListedPreviewPages(const SettingsStore &settings)
{
    QStringList pages;
    for (int n = 1; n <= keys::preview::MaxFiles; ++n) {
        const QString page = settings.read(keys::preview::Section, keys::preview::file(n));
        if (page.isEmpty())
            break;
        pages << page;
    }
    return pages;
}

PageNameSource::PageNameSource(std::function<QStringList()> listedPages, QObject *parent)
    : QObject(parent), m_listedPages(std::move(listedPages))
{
    check();
}

PageNameSource::~PageNameSource()
{
    // A reading in progress finishes first (a page of several megabytes takes a tenth
    // of a second); the answers it posts to this object go with it.
    if (m_thread) {
        m_thread->quit();
        m_thread->wait();
    }
}

PageNameSource::Stamp PageNameSource::stampOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    return {true, info.size(), info.lastModified()};
}

const QList<NameUse> &PageNameSource::names(NameKind kind)
{
    check();
    if (!m_mergedValid) {
        QList<std::pair<QString, const PageNames *>> pages;
        for (const QString &path : std::as_const(m_listed)) {
            const Page &page = m_pages[path];
            if (page.names)
                pages.append({QFileInfo(path).fileName(), &*page.names});
        }
        for (NameKind k : {NameKind::Element, NameKind::Class, NameKind::Id})
            m_merged[size_t(k)] = MergePageNames(pages, k);
        m_mergedValid = true;
    }
    return m_merged[size_t(kind)];
}

void PageNameSource::check()
{
    QStringList listed = m_listedPages();
    listed.removeDuplicates();
    if (listed != m_listed) {
        m_listed = listed;
        m_mergedValid = false;
        for (auto it = m_pages.begin(); it != m_pages.end();) {
            if (!m_listed.contains(it.key()))
                it = m_pages.erase(it);
            else
                ++it;
        }
    }
    for (const QString &path : std::as_const(m_listed)) {
        const Stamp stamp = stampOf(path);
        Page &page = m_pages[path];
        if (page.generation != 0 && page.stamp == stamp)
            continue;
        page.stamp = stamp;
        page.generation = ++m_generation;
        if (!m_thread) {
            m_thread = std::make_unique<QThread>();
            m_thread->setObjectName(QStringLiteral("PageNames"));
            m_reader = std::make_unique<QObject>();
            m_reader->moveToThread(m_thread.get());
            m_thread->start(QThread::LowPriority);
        }
        ++m_pending;
        const quint64 generation = page.generation;
        QMetaObject::invokeMethod(m_reader.get(), [this, path, generation] {
            // On the reading thread: only the file and the parser are touched here.
            PageReading reading = ReadPageFile(path);
            QMetaObject::invokeMethod(
                this, [this, path, generation, reading = std::move(reading)] { arrived(path, generation, reading); },
                Qt::QueuedConnection);
        });
    }
}

void PageNameSource::arrived(const QString &path, quint64 generation, const PageReading &reading)
{
    --m_pending;
    const auto it = m_pages.find(path);
    // A page taken off the list, or read again since: this answer is stale.
    if (it == m_pages.end() || it->generation != generation)
        return;
    it->names = reading.names;
    m_mergedValid = false;
    if (!reading.names) {
        if (!m_reported.contains(path)) {
            m_reported.insert(path);
            emit pageUnreadable(reading.problem);
        }
    } else {
        m_reported.remove(path);
    }
    emit pagesRead();
}

} // namespace sheetsmith
