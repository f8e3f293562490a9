#include "app/recentfiles.h"
#include "settings/settingsstore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace sheetsmith;

using Entry = RecentFiles::Entry;
using Entries = QList<Entry>;
using Store = QMap<QString, QString>; // "Recent" key -> value
Q_DECLARE_METATYPE(Entry)

namespace {

const QString Recent = QStringLiteral("Recent");
const QStringList RecentKeys{"1a", "1b", "2a", "2b", "3a", "3b", "4a", "4b"};

Entry shown(const QString &caption, const QString &tag)
{
    return {caption, tag, true};
}

Entry hidden()
{
    return {QString(), QString(), false};
}

Entry design(int i)
{
    return {QStringLiteral("Recent %1").arg(i), QString(), true};
}

Entries entriesOf(const RecentFiles &list)
{
    Entries entries;
    for (int i = 1; i <= RecentFiles::Count; ++i)
        entries << list.entry(i);
    return entries;
}

// The file's title, as the open dialog gives it.
QString titleOf(const QString &path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

} // namespace

namespace sheetsmith {
// Lets QCOMPARE show which entry differs.
char *toString(const RecentFiles::Entry &e)
{
    return QTest::toString(QStringLiteral("{\"%1\", \"%2\", %3}")
                               .arg(e.caption, e.tag, e.visible ? "shown" : "hidden"));
}
} // namespace sheetsmith

class TestRecentFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void addRecentFile_data();
    void addRecentFile();
    void addingToTheDesignStateShiftsItsCaptions();
    void loadRecentList_data();
    void loadRecentList();
    void removedEntryKeepsTheOthersInPlace();
    void writeRecentList_data();
    void writeRecentList();

private:
    SettingsStore &store() { return *m_store; }
    void fillStore(const Store &values);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_store;
};

void TestRecentFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_store = std::make_unique<SettingsStore>(m_dir->filePath(QStringLiteral("settings.ini")));
}

void TestRecentFiles::fillStore(const Store &values)
{
    for (auto it = values.begin(); it != values.end(); ++it)
        store().write(Recent, it.key(), it.value());
}

void TestRecentFiles::addRecentFile_data()
{
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<Entries>("expected");
    const QString a = QStringLiteral("/s/a.css");
    const QString b = QStringLiteral("/s/b.css");
    const QString c = QStringLiteral("/s/c.css");
    const QString d = QStringLiteral("/s/d.css");
    const QString e = QStringLiteral("/s/e.css");

    QTest::newRow("first file") << QStringList{a}
                                << Entries{shown("a.css", a), hidden(), hidden(), hidden()};
    QTest::newRow("newest first") << QStringList{a, b, c}
                                  << Entries{shown("c.css", c), shown("b.css", b),
                                             shown("a.css", a), hidden()};
    QTest::newRow("reopening entry 3 keeps the order")
        << QStringList{a, b, c, a}
        << Entries{shown("c.css", c), shown("b.css", b), shown("a.css", a), hidden()};
    QTest::newRow("fifth file pushes the oldest out")
        << QStringList{a, b, c, d, e}
        << Entries{shown("e.css", e), shown("d.css", d), shown("c.css", c), shown("b.css", b)};
    QTest::newRow("the pushed-out file comes back as new")
        << QStringList{a, b, c, d, e, a}
        << Entries{shown("a.css", a), shown("e.css", e), shown("d.css", d), shown("c.css", c)};
    QTest::newRow("other letter case is another file")
        << QStringList{a, QStringLiteral("/s/A.css")}
        << Entries{shown("A.css", "/s/A.css"), shown("a.css", a), hidden(), hidden()};
}

void TestRecentFiles::addRecentFile()
{
    QFETCH(QStringList, opened);
    QFETCH(Entries, expected);
    RecentFiles list;
    list.loadRecentList(store()); // an empty store: every entry hidden, as at a first start
    for (const QString &path : opened)
        list.addRecentFile(titleOf(path), path);
    QCOMPARE(entriesOf(list), expected);
}

void TestRecentFiles::addingToTheDesignStateShiftsItsCaptions()
{
    // Entries that were never loaded keep their design captions and move down with
    // the list; they stay shown since adding never hides an entry.
    RecentFiles list;
    QCOMPARE(entriesOf(list), (Entries{design(1), design(2), design(3), design(4)}));
    list.addRecentFile(QStringLiteral("a.css"), QStringLiteral("/s/a.css"));
    QCOMPARE(entriesOf(list), (Entries{shown("a.css", "/s/a.css"), design(1), design(2), design(3)}));
}

void TestRecentFiles::loadRecentList_data()
{
    QTest::addColumn<Store>("stored");
    QTest::addColumn<Entries>("expected");
    QTest::newRow("empty store hides every entry")
        << Store{} << Entries{hidden(), hidden(), hidden(), hidden()};
    QTest::newRow("both keys show the entry")
        << Store{{"1a", "a.css"}, {"1b", "/s/a.css"}, {"2a", "b.css"}, {"2b", "/s/b.css"}}
        << Entries{shown("a.css", "/s/a.css"), shown("b.css", "/s/b.css"), hidden(), hidden()};
    QTest::newRow("caption only keeps the design state")
        << Store{{"1a", "a.css"}} << Entries{design(1), hidden(), hidden(), hidden()};
    QTest::newRow("path only keeps the design state")
        << Store{{"3b", "/s/c.css"}} << Entries{hidden(), hidden(), design(3), hidden()};
    QTest::newRow("gap in the numbering is kept")
        << Store{{"1a", "a.css"}, {"1b", "/s/a.css"}, {"3a", "c.css"}, {"3b", "/s/c.css"}}
        << Entries{shown("a.css", "/s/a.css"), hidden(), shown("c.css", "/s/c.css"), hidden()};
}

void TestRecentFiles::loadRecentList()
{
    QFETCH(Store, stored);
    QFETCH(Entries, expected);
    fillStore(stored);
    RecentFiles list;
    list.loadRecentList(store());
    QCOMPARE(entriesOf(list), expected);
}

void TestRecentFiles::removedEntryKeepsTheOthersInPlace()
{
    RecentFiles list;
    list.loadRecentList(store());
    for (const QString &path : QStringList{"/s/a.css", "/s/b.css", "/s/c.css"})
        list.addRecentFile(titleOf(path), path);
    list.removeEntry(2);
    QCOMPARE(entriesOf(list), (Entries{shown("c.css", "/s/c.css"), hidden(),
                                       shown("a.css", "/s/a.css"), hidden()}));
    // Captions and paths shift, visibility stays with the place: adding shows every
    // entry that holds a file and hides none, so place 3 stays shown though empty
    // until the list is next written and read.
    list.addRecentFile(QStringLiteral("d.css"), QStringLiteral("/s/d.css"));
    QCOMPARE(entriesOf(list), (Entries{shown("d.css", "/s/d.css"), shown("c.css", "/s/c.css"),
                                       shown("", ""), shown("a.css", "/s/a.css")}));
}

void TestRecentFiles::writeRecentList_data()
{
    QTest::addColumn<Store>("before");       // the store as the last run left it
    QTest::addColumn<QStringList>("opened"); // files opened in this run
    QTest::addColumn<QList<int>>("removed"); // entries whose file had gone
    QTest::addColumn<Store>("after");
    QTest::newRow("three shown, the second removed: no gap")
        << Store{} << QStringList{"/s/a.css", "/s/b.css", "/s/c.css"} << QList<int>{2}
        << Store{{"1a", "c.css"}, {"1b", "/s/c.css"}, {"2a", "a.css"}, {"2b", "/s/a.css"}};
    QTest::newRow("entries 2 and 4 removed")
        << Store{} << QStringList{"/s/a.css", "/s/b.css", "/s/c.css", "/s/d.css"} << QList<int>{2, 4}
        << Store{{"1a", "d.css"}, {"1b", "/s/d.css"}, {"2a", "b.css"}, {"2b", "/s/b.css"}};
    QTest::newRow("stale keys of the last run deleted")
        << Store{{"1a", "a.css"}, {"1b", "/s/a.css"}, {"2a", "b.css"}, {"2b", "/s/b.css"},
                 {"3a", "c.css"}, {"3b", "/s/c.css"}}
        << QStringList{} << QList<int>{1, 3}
        << Store{{"1a", "b.css"}, {"1b", "/s/b.css"}};
    QTest::newRow("one-key entry written in its design state")
        << Store{{"1a", "lost.css"}} << QStringList{} << QList<int>{}
        << Store{{"1a", "Recent 1"}, {"1b", ""}};
}

void TestRecentFiles::writeRecentList()
{
    QFETCH(Store, before);
    QFETCH(QStringList, opened);
    QFETCH(QList<int>, removed);
    QFETCH(Store, after);
    fillStore(before);
    RecentFiles list;
    list.loadRecentList(store());
    for (const QString &path : opened)
        list.addRecentFile(titleOf(path), path);
    for (int index : removed)
        list.removeEntry(index);
    list.writeRecentList(store());

    // A fresh store on the same file reads what reached the disk.
    const SettingsStore reread(store().fileName());
    Store written;
    for (const QString &key : RecentKeys) {
        if (reread.contains(Recent, key))
            written.insert(key, reread.read(Recent, key));
    }
    QCOMPARE(written, after);
}

QTEST_MAIN(TestRecentFiles)
#include "tst_recentfiles.moc"
