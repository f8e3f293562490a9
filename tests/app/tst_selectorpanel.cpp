#include "app/form1.h"
#include "blocks/selectortree.h"
#include "dialogs/scopeddialogseam.h"
#include "editor/richedit.h"
#include "settings/settingsstore.h"
#include "support/windowfixture.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace sheetsmith;

// The selector tree as the author uses it: new rules from the three panels, delete,
// rename, jumping to a rule and the tree's popup menu.
class TestSelectorPanel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void emptyNameIsRefused_data();
    void emptyNameIsRefused();
    void newRuleGoesAfterTheCurrentBlock_data();
    void newRuleGoesAfterTheCurrentBlock();
    void enterCommitsAndEscapeCancels();
    void openingAPanelHidesTheOthers();
    void deleteRemovesTheWholeRule();
    void deleteLeavesGroupsAndUnclosedRulesAlone();
    void renameReplacesTheSelector_data();
    void renameReplacesTheSelector();
    void clickJumpsToTheRule();
    void popupOffersOnlyNewOnGroups();

private:
    void open(const QByteArray &sheet);
    QString treeText() const;
    QModelIndex node(const QString &group, int row) const;
    void click(const QModelIndex &index, Qt::MouseButton button);

    WindowFixture m_fixture;
    Form1 *m_window = nullptr;
    ScriptedDialogs *m_dialogs = nullptr;
    SettingsStore *m_settings = nullptr;
    RichEdit *m_editor = nullptr;
    SelectorTree *m_tree = nullptr;
};

void TestSelectorPanel::init()
{
    QVERIFY2(m_fixture.setUp(), qPrintable(m_fixture.problem()));
    m_window = &m_fixture.window();
    m_dialogs = &m_fixture.dialogs();
    m_settings = &m_fixture.settings();
    m_editor = m_window->MainText();
    m_tree = m_window->Tv();
}

void TestSelectorPanel::cleanup()
{
    QVERIFY2(m_fixture.tearDown(), qPrintable(m_fixture.problem()));
    m_window = nullptr;
}

void TestSelectorPanel::open(const QByteArray &sheet)
{
    QVERIFY(m_fixture.open(sheet));
}

QString TestSelectorPanel::treeText() const
{
    QStringList groups;
    const QAbstractItemModel *model = m_tree->model();
    for (int g = 0; g < model->rowCount(); ++g) {
        const QModelIndex group = model->index(g, 0);
        QStringList children;
        for (int c = 0; c < model->rowCount(group); ++c)
            children << model->index(c, 0, group).data().toString();
        groups << group.data().toString() + u':' + children.join(u',');
    }
    return groups.join(u' ');
}

QModelIndex TestSelectorPanel::node(const QString &group, int row) const
{
    const QAbstractItemModel *model = m_tree->model();
    for (int g = 0; g < model->rowCount(); ++g) {
        const QModelIndex groupIndex = model->index(g, 0);
        if (groupIndex.data().toString() == group)
            return row < 0 ? groupIndex : model->index(row, 0, groupIndex);
    }
    return {};
}

void TestSelectorPanel::click(const QModelIndex &index, Qt::MouseButton button)
{
    QVERIFY(index.isValid());
    m_tree->scrollTo(index);
    const QPoint at = m_tree->visualRect(index).center();
    QTest::mouseClick(m_tree->viewport(), button, Qt::NoModifier, at);
}

void TestSelectorPanel::emptyNameIsRefused_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("message");
    QTest::newRow("element") << "TbP_NElement" << "FrElement" << "Please choose an element.";
    QTest::newRow("class") << "TbP_NClass" << "FrClass" << "Please enter a valid class name.";
    QTest::newRow("ID") << "TbP_NID" << "FrID" << "Please enter a valid ID name.";
}

void TestSelectorPanel::emptyNameIsRefused()
{
    QFETCH(QString, button);
    QFETCH(QString, panel);
    QFETCH(QString, message);
    open("p {\n}\n");
    m_window->findChild<QAction *>(button)->trigger();
    auto *frame = m_window->findChild<QFrame *>(panel);
    QVERIFY(frame->isVisible());
    if (auto *edit = frame->findChild<QLineEdit *>())
        edit->clear();
    m_dialogs->answerMessage(DialogSeam::Ok);
    frame->findChildren<QPushButton *>().first()->click(); // OK
    QCOMPARE(m_dialogs->messages().size(), 1);
    QCOMPARE(m_dialogs->messages().first().text, message);
    QCOMPARE(m_dialogs->messages().first().flags, int(DialogSeam::Critical));
    QVERIFY(frame->isVisible());
    QCOMPARE(m_editor->text(), QStringLiteral("p {\r\n}\r\n"));
}

void TestSelectorPanel::newRuleGoesAfterTheCurrentBlock_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("name"); // empty: the panel's own initial text
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("expected");
    // "a {\r\n}\r\nb {\r\n}\r\n": a's "}" ends at 7, b's at 15.
    QTest::newRow("class inside the first block")
        << "TbP_NClass" << "note" << 3 << "a {\r\n}\r\nnote {\r\n\r\n\r\n}\r\nb {\r\n}\r\n";
    QTest::newRow("ID between the blocks goes after the next one")
        << "TbP_NID" << "main" << 9 << "a {\r\n}\r\nb {\r\n}\r\n#main {\r\n\r\n\r\n}\r\n";
    QTest::newRow("after the last block goes to the start")
        << "TbP_NElement" << "H1" << 17 << "\r\nH1 {\r\n\r\n\r\n}a {\r\n}\r\nb {\r\n}\r\n";
    QTest::newRow("class with its initial text")
        << "TbP_NClass" << "" << 0 << "a {\r\n}\r\nEnter ClassName {\r\n\r\n\r\n}\r\nb {\r\n}\r\n";
}

void TestSelectorPanel::newRuleGoesAfterTheCurrentBlock()
{
    QFETCH(QString, button);
    QFETCH(QString, name);
    QFETCH(int, caret);
    QFETCH(QString, expected);
    open("a {\n}\nb {\n}\n");
    m_editor->setSelStart(caret);
    m_window->findChild<QAction *>(button)->trigger();
    if (button == QLatin1String("TbP_NElement")) {
        auto *list = m_window->findChild<QComboBox *>(QStringLiteral("ComNE"));
        list->setCurrentIndex(list->findText(name));
    } else if (!name.isEmpty()) {
        QLineEdit *edit = button == QLatin1String("TbP_NClass")
                              ? m_window->findChild<QLineEdit *>(QStringLiteral("TxtNC"))
                              : m_window->findChild<QLineEdit *>(QStringLiteral("TxtNI"));
        QVERIFY(edit->hasSelectedText()); // typing replaces the whole text
        edit->setText(name);
    }
    const QString panel = button == QLatin1String("TbP_NElement") ? "FrElement"
                          : button == QLatin1String("TbP_NClass") ? "FrClass"
                                                                  : "FrID";
    auto *frame = m_window->findChild<QFrame *>(panel);
    frame->findChildren<QPushButton *>().first()->click();
    QCOMPARE(m_editor->text(), expected);
    QVERIFY(!frame->isVisible());
    // The caret stands on the first empty line inside the new braces.
    const QString before = expected.left(m_editor->selStart());
    QVERIFY2(before.endsWith(QStringLiteral(" {\r\n")), qPrintable(before.right(10)));
    // The tree shows the selector with its blanks removed.
    QVERIFY(treeText().contains(name.isEmpty() ? QStringLiteral("EnterClassName") : name));
}

void TestSelectorPanel::enterCommitsAndEscapeCancels()
{
    open("a {\n}\n");
    m_window->findChild<QAction *>(QStringLiteral("TbP_NID"))->trigger();
    auto *input = m_window->findChild<QLineEdit *>(QStringLiteral("TxtNI"));
    auto *frame = m_window->findChild<QFrame *>(QStringLiteral("FrID"));
    QTest::keyClick(input, Qt::Key_Escape);
    QVERIFY(!frame->isVisible());
    QCOMPARE(m_editor->text(), QStringLiteral("a {\r\n}\r\n"));

    m_window->findChild<QAction *>(QStringLiteral("TbP_NID"))->trigger();
    QTest::keyClicks(input, QStringLiteral("top"));
    QTest::keyClick(input, Qt::Key_Return);
    QVERIFY(!frame->isVisible());
    QCOMPARE(m_editor->text(), QStringLiteral("a {\r\n}\r\n#top {\r\n\r\n\r\n}\r\n"));
    QCOMPARE(treeText(), QStringLiteral("Elements:a Classes: IDs:#top"));
}

void TestSelectorPanel::openingAPanelHidesTheOthers()
{
    auto *element = m_window->findChild<QFrame *>(QStringLiteral("FrElement"));
    auto *klass = m_window->findChild<QFrame *>(QStringLiteral("FrClass"));
    m_window->findChild<QAction *>(QStringLiteral("TbP_NElement"))->trigger();
    QVERIFY(element->isVisible());
    m_window->findChild<QAction *>(QStringLiteral("TbP_NClass"))->trigger();
    QVERIFY(!element->isVisible());
    QVERIFY(klass->isVisible());
}

void TestSelectorPanel::deleteRemovesTheWholeRule()
{
    open("a {\n  color: red;\n}\n.b {\n  margin: 0;\n}\n#c {\n}\n");
    m_tree->setCurrentIndex(node(QStringLiteral("Classes"), 0));
    m_window->findChild<QAction *>(QStringLiteral("TbP_Delete"))->trigger();
    QCOMPARE(m_editor->text(), QStringLiteral("a {\r\n  color: red;\r\n}\r\n\r\n#c {\r\n}\r\n"));
    QCOMPARE(treeText(), QStringLiteral("Elements:a Classes: IDs:#c"));
}

void TestSelectorPanel::deleteLeavesGroupsAndUnclosedRulesAlone()
{
    open("a {\n}\n.b {\n  margin: 0; /* } */\n");
    const QString text = m_editor->text();
    m_tree->setCurrentIndex(node(QStringLiteral("Classes"), -1));
    m_window->findChild<QAction *>(QStringLiteral("TbP_Delete"))->trigger();
    QCOMPARE(m_editor->text(), text);

    m_tree->setCurrentIndex(node(QStringLiteral("Classes"), 0));
    m_dialogs->answerMessage(DialogSeam::Ok);
    m_window->findChild<QAction *>(QStringLiteral("mTDelete"))->trigger();
    QCOMPARE(m_editor->text(), text);
    QCOMPARE(m_dialogs->messages().size(), 1);
    QCOMPARE(m_dialogs->messages().first().flags, int(DialogSeam::Warning));
}

void TestSelectorPanel::renameReplacesTheSelector_data()
{
    QTest::addColumn<QByteArray>("sheet");
    QTest::addColumn<QString>("expected");
    QTest::newRow("at the line start") << QByteArray("h1 {\n}\n") << "h2 {\r\n}\r\n";
    QTest::newRow("indented, with blanks in the group") << QByteArray("  h1 , h3 {\n}\n") << "  h2 {\r\n}\r\n";
}

void TestSelectorPanel::renameReplacesTheSelector()
{
    QFETCH(QByteArray, sheet);
    QFETCH(QString, expected);
    open(sheet);
    const QModelIndex first = node(QStringLiteral("Elements"), 0);
    m_tree->setCurrentIndex(first);
    // An in-place edit of the label, committed with Enter.
    m_tree->editNode(m_tree->nodeIndex(first));
    auto *editor = m_tree->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->setText(QStringLiteral("h2"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(m_editor->text(), expected);
    QCOMPARE(m_editor->selStart(), qsizetype(0));
    QCOMPARE(treeText(), QStringLiteral("Elements:h2 Classes: IDs:"));
}

void TestSelectorPanel::clickJumpsToTheRule()
{
    open("a {\n}\n.note {\n}\n.note {\n}\n");
    m_editor->setSelStart(0);
    click(node(QStringLiteral("Classes"), 1), Qt::LeftButton);
    // Both ".note" nodes lead to the first rule with that selector.
    QCOMPARE(m_editor->selStart(), qsizetype(8));
    QTRY_VERIFY(m_editor->hasFocus() || !m_window->isActiveWindow());
}

void TestSelectorPanel::popupOffersOnlyNewOnGroups()
{
    open("a {\n}\n");
    auto *menu = m_window->findChild<QMenu *>(QStringLiteral("mTree"));
    auto *remove = m_window->findChild<QAction *>(QStringLiteral("mTDelete"));
    auto *rename = m_window->findChild<QAction *>(QStringLiteral("mTrename"));
    auto *neu = m_window->findChild<QAction *>(QStringLiteral("mTnew"));

    click(node(QStringLiteral("Elements"), -1), Qt::RightButton);
    QTRY_VERIFY(menu->isVisible());
    QVERIFY(neu->isEnabled());
    QVERIFY(!remove->isEnabled());
    QVERIFY(!rename->isEnabled());
    menu->hide();

    click(node(QStringLiteral("Elements"), 0), Qt::RightButton);
    QTRY_VERIFY(menu->isVisible());
    QVERIFY(remove->isEnabled());
    QVERIFY(rename->isEnabled());
    menu->hide();
    // New on a node under "Elements" opens the element panel.
    neu->trigger();
    QVERIFY(m_window->findChild<QFrame *>(QStringLiteral("FrElement"))->isVisible());

    // A left click on a group disables the toolbar's Delete.
    click(node(QStringLiteral("Classes"), -1), Qt::LeftButton);
    QVERIFY(!m_window->findChild<QAction *>(QStringLiteral("TbP_Delete"))->isEnabled());
}

QTEST_MAIN(TestSelectorPanel)
#include "tst_selectorpanel.moc"
