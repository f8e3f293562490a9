#include "app/commandactions.h"
#include "support/windowfixture.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

using namespace sheetsmith;

// One action per command, and the menu entries and buttons that offer it.
class TestCommandActions : public QObject
{
    Q_OBJECT

private slots:
    void placesFollowTheirCommand();
    void unknownKeyIsCaught();
    void everyPlaceOfTheWindowHasItsCommand();
};

void TestCommandActions::placesFollowTheirCommand()
{
    QWidget window;
    CommandActions commands(&window);
    int runs = 0;
    QAction *command = commands.add(QStringLiteral("Live"), [&runs] { ++runs; });
    command->setCheckable(true);
    QAction entry(QStringLiteral("entry")), button(QStringLiteral("button"));
    commands.bind(&entry, QStringLiteral("Live"));
    commands.bind(&button, QStringLiteral("Live"));

    button.trigger();
    QCOMPARE(runs, 1);
    QVERIFY(command->isChecked());
    QVERIFY(entry.isChecked() && button.isChecked());
    entry.trigger();
    QCOMPARE(runs, 2);
    QVERIFY(!command->isChecked() && !entry.isChecked() && !button.isChecked());

    command->setEnabled(false);
    QVERIFY(!entry.isEnabled() && !button.isEnabled());
    entry.trigger();
    QVERIFY(!commands.run(QStringLiteral("Live")));
    QCOMPARE(runs, 2);
    QVERIFY(commands.missing().isEmpty());
}

void TestCommandActions::unknownKeyIsCaught()
{
    QWidget window;
    CommandActions commands(&window);
    commands.add(QStringLiteral("Save"), [] {});
    commands.add(QStringLiteral("Save"), [] {});
    QAction entry;
    commands.bind(&entry, QStringLiteral("Sav"));
    QVERIFY(!entry.isEnabled());
    QCOMPARE(commands.missing(), (QStringList{"Save", "Sav"}));
    QVERIFY(!commands.run(QStringLiteral("Sav")));
}

void TestCommandActions::everyPlaceOfTheWindowHasItsCommand()
{
    WindowFixture fixture;
    QVERIFY2(fixture.setUp(), qPrintable(fixture.problem()));
    QCOMPARE(fixture.window().commands().missing(), QStringList());
    // Every entry of the menu bar and every toolbar button is bound to a command that
    // exists: triggering a disabled-for-want-of-a-command place would do nothing.
    int places = 0;
    for (QMenu *menu : fixture.window().menuBar()->findChildren<QMenu *>()) {
        for (QAction *entry : menu->actions()) {
            if (!entry->isSeparator() && !entry->menu())
                ++places;
        }
    }
    for (QToolBar *bar : fixture.window().findChildren<QToolBar *>())
        places += int(bar->actions().size());
    QVERIFY(places > 40);
    QVERIFY2(fixture.tearDown(), qPrintable(fixture.problem()));
}

QTEST_MAIN(TestCommandActions)
#include "tst_commandactions.moc"
