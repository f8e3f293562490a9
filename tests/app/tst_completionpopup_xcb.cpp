#include "app/editorcompleter.h"
#include "app/form1.h"
#include "editor/richedit.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QTest>
#include <QWindow>

using namespace sheetsmith;

// The completion popup as a desktop shows it: on an X display, where the popup is a
// window of its own that grabs the keyboard, so the keys the author types reach the
// popup before the editor. The other window tests run offscreen, where nothing grabs.
class TestCompletionPopupXcb : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { QVERIFY2(m_fixture.setUp(), qPrintable(m_fixture.problem())); }
    void cleanup() { QVERIFY2(m_fixture.tearDown(), qPrintable(m_fixture.problem())); }

    void popupStaysOpenWhileTyping_data();
    void popupStaysOpenWhileTyping();

private:
    WindowFixture m_fixture;
};

void TestCompletionPopupXcb::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X display (the test command runs it under xvfb-run)");
}

void TestCompletionPopupXcb::popupStaysOpenWhileTyping_data()
{
    QTest::addColumn<bool>("activate");
    // An X server whose keyboard focus follows the pointer (Xvfb's own, or a desktop
    // without a window manager that activates windows) sends the window its keys
    // while Qt holds no window active, and no widget has the application's focus.
    QTest::newRow("window not activated") << false;
    QTest::newRow("window activated") << true;
}

void TestCompletionPopupXcb::popupStaysOpenWhileTyping()
{
    QFETCH(bool, activate);
    QVERIFY(m_fixture.open("p {\n    \n}\n"));
    Form1 &window = m_fixture.window();
    RichEdit &editor = m_fixture.editor();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if (activate) {
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    } else {
        QVERIFY2(!window.isActiveWindow(), "the display activated the window by itself");
    }
    editor.setFocus();
    editor.setSelStart(9);
    auto *completer = window.findChild<EditorCompleter *>();

    // Each key goes in as the X server delivers it, to the main window; Qt passes it
    // on to the open popup, else to the window's focused widget.
    for (const char key : {'m', 'a', 'r', 'g'}) {
        QTest::keyClick(window.windowHandle(), key);
        QVERIFY2(completer->isPopupVisible(), qPrintable(QStringLiteral("closed at '%1'").arg(QChar(key))));
    }
    QCOMPARE(completer->offered().value(0), QStringLiteral("margin"));
    QTest::keyClick(window.windowHandle(), Qt::Key_Return);
    QCOMPARE(editor.text(), QStringLiteral("p {\r\n    margin: \r\n}\r\n"));
    QVERIFY(!completer->isPopupVisible());
}

QTEST_MAIN(TestCompletionPopupXcb)
#include "tst_completionpopup_xcb.moc"
