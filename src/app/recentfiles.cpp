#include "app/recentfiles.h"

#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

namespace sheetsmith {

namespace recent = keys::recent;

static_assert(RecentFiles::Count == recent::Count);

RecentFiles::RecentFiles()
{
    for (int i = 0; i < Count; ++i)
        m_entries[i] = {QStringLiteral("Recent %1").arg(i + 1), QString(), true};
}

const RecentFiles::Entry &RecentFiles::entry(int index) const
{
    static const Entry none{QString(), QString(), false};
    if (index < 1 || index > Count)
        return none;
    return m_entries[index - 1];
}

void RecentFiles::addRecentFile(const QString &title, const QString &path)
{
    for (const Entry &e : m_entries) {
        if (e.tag == path)
            return;
    }
    for (int i = Count - 1; i > 0; --i) {
        m_entries[i].caption = m_entries[i - 1].caption;
        m_entries[i].tag = m_entries[i - 1].tag;
    }
    m_entries[0].caption = title;
    m_entries[0].tag = path;
    for (Entry &e : m_entries) {
        if (!e.tag.isEmpty())
            e.visible = true;
    }
}

void RecentFiles::loadRecentList(const SettingsStore &store)
{
    for (int i = 1; i <= Count; ++i) {
        const QString caption = store.read(recent::Section, recent::caption(i));
        const QString path = store.read(recent::Section, recent::path(i));
        Entry &e = m_entries[i - 1];
        if (!caption.isEmpty() && !path.isEmpty())
            e = {caption, path, true};
        else if (caption.isEmpty() && path.isEmpty())
            e = {QString(), QString(), false};
    }
}

void RecentFiles::removeEntry(int index)
{
    if (index < 1 || index > Count)
        return;
    m_entries[index - 1] = {QString(), QString(), false};
}

void RecentFiles::writeRecentList(SettingsStore &store) const
{
    for (int i = 1; i <= Count; ++i) {
        store.remove(recent::Section, recent::caption(i)); // a missing key is no matter
        store.remove(recent::Section, recent::path(i));
    }
    int k = 0;
    for (const Entry &e : m_entries) {
        if (!e.visible)
            continue;
        ++k;
        store.write(recent::Section, recent::caption(k), e.caption);
        store.write(recent::Section, recent::path(k), e.tag);
    }
}

} // namespace sheetsmith
