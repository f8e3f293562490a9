#pragma once

#include <QString>

#include <array>

namespace sheetsmith {

class SettingsStore;

// The File menu's four recent-file entries, without the menu: the main window shows
// entry i as its i-th recent item. Entries are numbered 1 to 4 in menu order, entry 1
// being the file added last. An entry is identified by its tag, the file's full path.
class RecentFiles
{
public:
    static constexpr int Count = 4;

    struct Entry
    {
        QString caption; // the file's title when it was opened
        QString tag;     // the file's full path
        bool visible = true;

        friend bool operator==(const Entry &, const Entry &) = default;
    };

    // The entries as designed: shown, captioned "Recent 1" to "Recent 4", no path.
    RecentFiles();

    // Entry index, 1 to Count; any other index gives an empty hidden entry.
    const Entry &entry(int index) const;

    // A path already in the list (exact, case-sensitive match) keeps its place and
    // changes nothing. Otherwise the entries move down one place, the last drops out,
    // and entry 1 takes the new file. Every entry holding a path is then shown.
    void addRecentFile(const QString &title, const QString &path);

    // Reads entries from section "Recent": both keys set shows the entry with them,
    // both empty hides and empties it, and an entry with only one of the two is left
    // as it was.
    void loadRecentList(const SettingsStore &store);

    // Empties and hides an entry whose file has gone; the others keep their numbers.
    void removeEntry(int index);

    // Deletes the eight "Recent" keys, then writes the shown entries numbered from 1
    // without gaps, in menu order.
    void writeRecentList(SettingsStore &store) const;

private:
    std::array<Entry, Count> m_entries;
};

} // namespace sheetsmith
