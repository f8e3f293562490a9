#include "app/form1.h"
#include "dialogs/scopeddialogseam.h"
#include "editor/richedit.h"
#include "settings/settingsstore.h"
#include "support/scripteddialogs.h"
#include "support/windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace sheetsmith;

// Where the keyboard focus is after start-up, and that it comes back to where it was
// when a dialog, a panel or a value editor closes: the author goes on typing where
// they were without reaching for the mouse.
class TestFocus : public QObject
{
    Q_OBJECT

private slots:
    void startUpFocusesTheEditor_data();
    void startUpFocusesTheEditor();

    void init();
    void cleanup();

    void closingAWindowGivesTheFocusBack_data();
    void closingAWindowGivesTheFocusBack();
    void cancellingANewSelectorPanelGivesTheFocusBack_data();
    void cancellingANewSelectorPanelGivesTheFocusBack();
    void committingANewSelectorMovesTheFocusToTheEditor();
    void closingAValueEditorGivesTheFocusBackToTheList_data();
    void closingAValueEditorGivesTheFocusBackToTheList();

private:
    QWidget *startingPoint(const QString &where) const;

    WindowFixture m_fixture;
};

void TestFocus::startUpFocusesTheEditor_data()
{
    QTest::addColumn<QByteArray>("sheet"); // empty: no sheet on the command line
    QTest::newRow("no sheet") << QByteArray();
    QTest::newRow("a sheet") << QByteArray("/* site */\nh1 { color: red }\n.note { margin: 0 }\n");
}

void TestFocus::startUpFocusesTheEditor()
{
    QFETCH(QByteArray, sheet);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SettingsStore settings(dir.filePath(QStringLiteral("settings.ini")));
    settings.ensureEditorDefaults();
    ScriptedDialogs dialogs;
    ScopedDialogSeam scope(dialogs);
    QString commandLine;
    if (!sheet.isEmpty()) {
        commandLine = dir.filePath(QStringLiteral("site.css"));
        QFile file(commandLine);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(sheet);
    }

    Form1 window(settings);
    QVERIFY(window.startUp(commandLine));
    window.showWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QApplication::focusWidget(), window.MainText());
    QCOMPARE(window.MainText()->text().size(), sheet.isEmpty() ? 0 : sheet.size() + sheet.count('\n'));
    QCOMPARE(window.MainText()->selStart(), 0);
    QCOMPARE(window.MainText()->selLength(), 0);
    QVERIFY(dialogs.messages().isEmpty());
}

void TestFocus::init()
{
    QVERIFY2(m_fixture.setUp(), qPrintable(m_fixture.problem()));
    QVERIFY(m_fixture.open("h1 { color: red }\r\n.note { margin: 0 }\r\n"));
    QVERIFY(QTest::qWaitForWindowActive(&m_fixture.window()));
}

void TestFocus::cleanup()
{
    QVERIFY2(m_fixture.tearDown(), qPrintable(m_fixture.problem()));
}

QWidget *TestFocus::startingPoint(const QString &where) const
{
    return where == QLatin1String("editor") ? static_cast<QWidget *>(&m_fixture.editor())
                                            : m_fixture.window().findChild<QWidget *>(where);
}

void TestFocus::closingAWindowGivesTheFocusBack_data()
{
    QTest::addColumn<QString>("entry"); // the menu entry that opens the window
    QTest::addColumn<QString>("from");  // where the focus is before
    QTest::newRow("Find and Replace, from the editor") << "mFindReplace" << "editor";
    QTest::newRow("Find and Replace, from the tree") << "mFindReplace" << "Tv";
    QTest::newRow("Settings, from the editor") << "mSettings" << "editor";
    QTest::newRow("Settings, from the property list") << "mSettings" << "LstP";
    QTest::newRow("About, from the editor") << "mAbout" << "editor";
    QTest::newRow("About, from the tree") << "mAbout" << "Tv";
}

void TestFocus::closingAWindowGivesTheFocusBack()
{
    QFETCH(QString, entry);
    QFETCH(QString, from);
    Form1 &window = m_fixture.window();
    QWidget *before = startingPoint(from);
    QVERIFY(before);
    before->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), before);

    QAction *action = window.findChild<QAction *>(entry);
    QVERIFY(action);
    action->trigger();
    QTRY_VERIFY(QApplication::activeWindow() && QApplication::activeWindow() != &window);
    QWidget *opened = QApplication::activeWindow();
    QTRY_VERIFY(opened->isAncestorOf(QApplication::focusWidget()));

    opened->close();
    QTRY_COMPARE(QApplication::activeWindow(), &window);
    QTRY_COMPARE(QApplication::focusWidget(), before);
}

void TestFocus::cancellingANewSelectorPanelGivesTheFocusBack_data()
{
    QTest::addColumn<QString>("button"); // the selector toolbar's button that opens it
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("cancel"); // empty: Esc in the input
    QTest::addColumn<QString>("from");
    QTest::newRow("element, Esc, from the editor") << "TbP_NElement" << "ComNE" << "" << "editor";
    QTest::newRow("element, Cancel, from the tree") << "TbP_NElement" << "ComNE" << "CmdNECancel" << "Tv";
    QTest::newRow("class, Esc, from the tree") << "TbP_NClass" << "TxtNC" << "" << "Tv";
    QTest::newRow("class, Cancel, from the editor") << "TbP_NClass" << "TxtNC" << "CmdNCcancel" << "editor";
    QTest::newRow("ID, Esc, from the tree") << "TbP_NID" << "TxtNI" << "" << "Tv";
    QTest::newRow("ID, Cancel, from the editor") << "TbP_NID" << "TxtNI" << "CmdNIcancel" << "editor";
}

void TestFocus::cancellingANewSelectorPanelGivesTheFocusBack()
{
    QFETCH(QString, button);
    QFETCH(QString, input);
    QFETCH(QString, cancel);
    QFETCH(QString, from);
    Form1 &window = m_fixture.window();
    QWidget *before = startingPoint(from);
    before->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), before);

    window.findChild<QAction *>(button)->trigger();
    QWidget *inputWidget = window.findChild<QWidget *>(input);
    QTRY_COMPARE(QApplication::focusWidget(), inputWidget);

    if (cancel.isEmpty())
        QTest::keyClick(inputWidget, Qt::Key_Escape);
    else
        QTest::mouseClick(window.findChild<QPushButton *>(cancel), Qt::LeftButton);
    QVERIFY(!inputWidget->isVisible());
    QTRY_COMPARE(QApplication::focusWidget(), before);
}

void TestFocus::committingANewSelectorMovesTheFocusToTheEditor()
{
    Form1 &window = m_fixture.window();
    QWidget *tree = window.findChild<QWidget *>(QStringLiteral("Tv"));
    tree->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), tree);
    window.findChild<QAction *>(QStringLiteral("TbP_NClass"))->trigger();
    auto *name = window.findChild<QLineEdit *>(QStringLiteral("TxtNC"));
    QTRY_COMPARE(QApplication::focusWidget(), name);
    QTest::keyClicks(name, QStringLiteral(".intro"));
    QTest::keyClick(name, Qt::Key_Return);
    QVERIFY(m_fixture.editor().text().contains(QStringLiteral(".intro")));
    QTRY_COMPARE(QApplication::focusWidget(), &m_fixture.editor());
}

void TestFocus::closingAValueEditorGivesTheFocusBackToTheList_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("editor");
    QTest::addColumn<int>("key");
    QTest::newRow("keyword list, Esc") << "font-style" << "ComP" << int(Qt::Key_Escape);
    QTest::newRow("keyword list, Enter") << "font-style" << "ComP" << int(Qt::Key_Return);
    QTest::newRow("free text, Esc") << "margin" << "TxtP" << int(Qt::Key_Escape);
    QTest::newRow("free text, Enter") << "margin" << "TxtP" << int(Qt::Key_Return);
}

void TestFocus::closingAValueEditorGivesTheFocusBackToTheList()
{
    QFETCH(QString, property);
    QFETCH(QString, editor);
    QFETCH(int, key);
    Form1 &window = m_fixture.window();
    auto *list = window.findChild<QTreeWidget *>(QStringLiteral("LstP"));
    const QList<QTreeWidgetItem *> rows = list->findItems(property, Qt::MatchExactly);
    QCOMPARE(rows.size(), 1);
    list->setFocus();
    list->setCurrentItem(rows.first());
    QTRY_COMPARE(QApplication::focusWidget(), list);

    QTest::keyClick(list, Qt::Key_F2);
    QWidget *opened = window.findChild<QWidget *>(editor);
    QTRY_VERIFY(opened->isVisible());
    // The keyword list opens dropped down; its drop-down has the focus then.
    auto *combo = qobject_cast<QComboBox *>(opened);
    QTRY_VERIFY(opened->isAncestorOf(QApplication::focusWidget())
                || (combo && combo->view()->isAncestorOf(QApplication::focusWidget())));

    // A key pressed in an open drop-down acts there first (Esc closes it, Enter takes
    // an entry), so it may take a second press to close the editor.
    for (int press = 0; press < 2 && opened->isVisible(); ++press)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QVERIFY(!opened->isVisible());
    QTRY_COMPARE(QApplication::focusWidget(), list);
}

QTEST_MAIN(TestFocus)
#include "tst_focus.moc"
