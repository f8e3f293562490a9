#include "app/editorcompleter.h"
#include "app/form1.h"
#include "editor/richedit.h"
#include "settings/settingskeys.h"
#include "support/windowfixture.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QLabel>
#include <QTest>

using namespace sheetsmith;

// Completion in the real window, typed as the author types.
class TestEditorCompleter : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY2(m_fixture.setUp(), qPrintable(m_fixture.problem())); }
    void cleanup() { QVERIFY2(m_fixture.tearDown(), qPrintable(m_fixture.problem())); }

    void nameThenKeyword_data();
    void nameThenKeyword();
    void escapeAndTypingOnKeepTheText();
    void offersNothingWhereItMustNot_data();
    void offersNothingWhereItMustNot();
    void settingsDialogTurnsItOff();
    void namesOfThePreviewsPages();

private:
    EditorCompleter &completer() const { return *m_fixture.window().findChild<EditorCompleter *>(); }
    void startIn(const QByteArray &sheet, qsizetype caret);

    WindowFixture m_fixture;
};

void TestEditorCompleter::startIn(const QByteArray &sheet, qsizetype caret)
{
    QVERIFY(m_fixture.open(sheet));
    m_fixture.editor().setSelStart(caret);
}

void TestEditorCompleter::nameThenKeyword_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Tab") << int(Qt::Key_Tab);
}

void TestEditorCompleter::nameThenKeyword()
{
    QFETCH(int, key);
    startIn("p {\n    \n}\n", 9);
    RichEdit &editor = m_fixture.editor();
    QLabel *status = m_fixture.window().findChild<QLabel *>(QStringLiteral("StBarPanel1"));
    const QString said = status->text();
    QTest::keyClicks(&editor, QStringLiteral("marg"));
    QCOMPARE(completer().offered(),
             (QStringList{"margin", "margin-top", "margin-left", "margin-right", "margin-bottom"}));
    QVERIFY(m_fixture.window().findChild<QLabel *>(QStringLiteral("StBarPanel1"))->text().contains(u"margin"));
    QTest::keyClick(&editor, Qt::Key(key));
    QCOMPARE(editor.text(), QStringLiteral("p {\r\n    margin: \r\n}\r\n"));
    QCoreApplication::processEvents();
    QVERIFY(!completer().isPopupVisible()); // margin has no keywords

    // The accepted name is one step; the typing before it is still there.
    m_fixture.window().runCommand(QStringLiteral("Undo"));
    QCOMPARE(editor.text(), QStringLiteral("p {\r\n    marg\r\n}\r\n"));
    QCOMPARE(status->text(), said); // the description goes again

    editor.setSelStart(9);
    editor.setSelLength(4);
    QTest::keyClicks(&editor, QStringLiteral("text-al"));
    QCOMPARE(completer().offered(), QStringList{"text-align"});
    QTest::keyClick(&editor, Qt::Key(key));
    QTRY_COMPARE(completer().offered(), (QStringList{"left", "right", "center", "justify"}));
    QTest::keyClick(&editor, Qt::Key_Down);
    QTest::keyClick(&editor, Qt::Key(key));
    QCOMPARE(editor.text(), QStringLiteral("p {\r\n    text-align: right;\r\n}\r\n"));
    QVERIFY(!completer().isPopupVisible());
}

void TestEditorCompleter::escapeAndTypingOnKeepTheText()
{
    startIn("p { }\n", 4);
    RichEdit &editor = m_fixture.editor();
    QTest::keyClicks(&editor, QStringLiteral("col"));
    QVERIFY(completer().isPopupVisible());
    QTest::keyClick(&editor, Qt::Key_Escape);
    QVERIFY(!completer().isPopupVisible());
    QCOMPARE(editor.text(), QStringLiteral("p { col}\r\n"));
    // Typing on is plain typing; the popup comes back for the word and goes at ":".
    QTest::keyClicks(&editor, QStringLiteral("o"));
    QCOMPARE(completer().offered(), QStringList{"color"});
    QTest::keyClicks(&editor, QStringLiteral("r:"));
    QVERIFY(!completer().isPopupVisible());
    QTest::keyClick(&editor, Qt::Key_Return);
    QCOMPARE(editor.text(), QStringLiteral("p { color:\r\n}\r\n"));
}

void TestEditorCompleter::offersNothingWhereItMustNot_data()
{
    QTest::addColumn<QByteArray>("sheet");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("a selector") << QByteArray("p { }\n") << 7 << "h" << true;
    QTest::newRow("a comment") << QByteArray("p { /*  */ }\n") << 7 << "col" << true;
    QTest::newRow("after a value") << QByteArray("p { color: red }\n") << 14 << " bo" << true;
    QTest::newRow("turned off") << QByteArray("p { }\n") << 4 << "col" << false;
}

void TestEditorCompleter::offersNothingWhereItMustNot()
{
    QFETCH(QByteArray, sheet);
    QFETCH(int, caret);
    QFETCH(QString, typed);
    QFETCH(bool, enabled);
    if (!enabled)
        m_fixture.settings().write(keys::editor::Section, keys::editor::Complete, QStringLiteral("0"));
    startIn(sheet, caret);
    RichEdit &editor = m_fixture.editor();
    const QString before = editor.text();
    QTest::keyClicks(&editor, typed);
    QVERIFY(!completer().isPopupVisible());
    QTest::keyClick(&editor, Qt::Key_Return);
    QCOMPARE(editor.text(), before.left(caret) + typed + QStringLiteral("\r\n") + before.mid(caret));
}

void TestEditorCompleter::settingsDialogTurnsItOff()
{
    m_fixture.window().runCommand(QStringLiteral("Settings"));
    auto *box = m_fixture.window().findChild<QCheckBox *>(QStringLiteral("ChkComplete"));
    QVERIFY(box && box->isChecked()); // missing means on
    box->setChecked(false);
    m_fixture.window().findChild<QPushButton *>(QStringLiteral("CmdApply"))->click();
    QCOMPARE(m_fixture.settings().read(keys::editor::Section, keys::editor::Complete), QStringLiteral("0"));
    startIn("p { }\n", 4);
    QTest::keyClicks(&m_fixture.editor(), QStringLiteral("col"));
    QVERIFY(!completer().isPopupVisible());
}

void TestEditorCompleter::namesOfThePreviewsPages()
{
    const QString page = m_fixture.writeFile(QStringLiteral("index.html"),
                                             "<!doctype html><title>t</title><div class=\"card\">"
                                             "<p class=\"card lead\" id=\"top\">x</div><span class=card></span>");
    m_fixture.settings().write(keys::preview::Section, keys::preview::file(1), page);
    startIn("p { }\n", 7);
    RichEdit &editor = m_fixture.editor();
    // The page is read when first asked for; the names follow once it is.
    QTest::keyClick(&editor, '.');
    QTRY_COMPARE(completer().offered(),
                 (QStringList{QStringLiteral("card \u2014 3 in index.html"), QStringLiteral("lead \u2014 1 in index.html")}));
    QTest::keyClick(&editor, 'l');
    QCOMPARE(completer().offered(), QStringList{QStringLiteral("lead \u2014 1 in index.html")});
    QCOMPARE(m_fixture.window().findChild<QLabel *>(QStringLiteral("StBarPanel1"))->text(),
             QStringLiteral("Class lead: used 1 time in index.html"));
    QTest::keyClick(&editor, Qt::Key_Return);
    QCOMPARE(editor.text(), QStringLiteral("p { }\r\n.lead"));
    QTest::keyClicks(&editor, QStringLiteral(" #"));
    QCOMPARE(completer().offered(), QStringList{QStringLiteral("top \u2014 1 in index.html")});
    QTest::keyClick(&editor, Qt::Key_Escape);
    QTest::keyClicks(&editor, QStringLiteral(", s"));
    QCOMPARE(completer().offered(), QStringList{QStringLiteral("span \u2014 1 in index.html")});
}

QTEST_MAIN(TestEditorCompleter)
#include "tst_editorcompleter.moc"
