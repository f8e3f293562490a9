#include "app/form1.h"
#include "blocks/frmfind.h"
#include "dialogs/scopeddialogseam.h"
#include "editor/richedit.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "support/windowfixture.h"

#include <QClipboard>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <memory>

using namespace sheetsmith;

// The editor's own rules on top of the text control: shortcut keys that run the
// program's commands, the Edit menu on the right button, and drag and drop.
class TestInputHandling : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void tabKeysIndentAndUnindent_data();
    void tabKeysIndentAndUnindent();
    void tabKeysReadTheTabWidthEachTime();
    void controlKeysRunTheCommands();
    void ctrlShiftVReachesTheControl();
    void ctrlFOpensFindAndTypesNothing();
    void rightButtonOpensTheEditMenu();
    void droppedFilesOpenOnlyOne();
    void draggingTextMovesTheCaret_data();
    void draggingTextMovesTheCaret();
    void droppedTextIsInserted();

private:
    QString writeSheet(const QString &name, const QByteArray &bytes);

    WindowFixture m_fixture;
    Form1 *m_window = nullptr;
    ScriptedDialogs *m_dialogs = nullptr;
    SettingsStore *m_settings = nullptr;
    RichEdit *m_editor = nullptr;
};

void TestInputHandling::init()
{
    QVERIFY2(m_fixture.setUp([](SettingsStore &s) { s.write(keys::editor::Section, keys::editor::TabWidth, QStringLiteral("2")); }), qPrintable(m_fixture.problem()));
    m_window = &m_fixture.window();
    m_dialogs = &m_fixture.dialogs();
    m_settings = &m_fixture.settings();
    m_editor = m_window->MainText();

}

void TestInputHandling::cleanup()
{
    if (FrmFind *find = FrmFind::instance())
        delete find;
    QVERIFY2(m_fixture.tearDown(), qPrintable(m_fixture.problem()));
    m_window = nullptr;
}

QString TestInputHandling::writeSheet(const QString &name, const QByteArray &bytes)
{
    return m_fixture.writeFile(name, bytes);
}

void TestInputHandling::tabKeysIndentAndUnindent_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Tab indents at the caret") << int(Qt::NoModifier) << "a {\r\n    b: c;\r\n}";
    QTest::newRow("Ctrl+Tab indents too") << int(Qt::ControlModifier) << "a {\r\n    b: c;\r\n}";
    QTest::newRow("Shift+Tab unindents the line") << int(Qt::ShiftModifier) << "a {\r\nb: c;\r\n}";
}

void TestInputHandling::tabKeysIndentAndUnindent()
{
    QFETCH(int, modifiers);
    QFETCH(QString, expected);
    m_editor->setText(QStringLiteral("a {\r\n  b: c;\r\n}"));
    m_editor->setSelStart(7); // after the two blanks of line 2
    QTest::keyClick(m_editor, Qt::Key_Tab, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(m_editor->text(), expected);
}

void TestInputHandling::tabKeysReadTheTabWidthEachTime()
{
    m_editor->setText(QStringLiteral("a"));
    m_editor->setSelStart(0);
    m_settings->write(keys::editor::Section, keys::editor::TabWidth, QStringLiteral("1"));
    QTest::keyClick(m_editor, Qt::Key_Tab);
    m_settings->write(keys::editor::Section, keys::editor::TabWidth, QStringLiteral("3"));
    QTest::keyClick(m_editor, Qt::Key_Tab);
    QCOMPARE(m_editor->text(), QStringLiteral("    a"));

    // A malformed width stored meanwhile reads as the default, 4.
    m_settings->write(keys::editor::Section, keys::editor::TabWidth, QStringLiteral("wide"));
    QTest::keyClick(m_editor, Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(m_editor->text(), QStringLiteral("a"));
}

void TestInputHandling::controlKeysRunTheCommands()
{
    m_editor->setText(QStringLiteral("one two"));
    m_editor->setSelStart(0);
    m_editor->setSelLength(3);
    QTest::keyClick(m_editor, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(m_editor->text(), QStringLiteral(" two"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("one"));
    m_editor->setSelStart(4);
    QTest::keyClick(m_editor, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_editor->text(), QStringLiteral(" twoone"));
    m_editor->setSelStart(1);
    m_editor->setSelLength(3);
    QTest::keyClick(m_editor, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("two"));
    QCOMPARE(m_editor->text(), QStringLiteral(" twoone"));
}

void TestInputHandling::ctrlShiftVReachesTheControl()
{
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    m_editor->setText(QStringLiteral("x"));
    bool reached = false;
    // A later handler sees the key only when no earlier one consumed it.
    connect(m_editor, &RichEdit::keyDown, this, [&](QKeyEvent *event, bool *consumed) {
        if (!*consumed && event->key() == Qt::Key_V)
            reached = true;
    });
    QTest::keyClick(m_editor, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(reached);
    QVERIFY(!m_editor->text().contains(QStringLiteral("pasted")));
}

void TestInputHandling::ctrlFOpensFindAndTypesNothing()
{
    m_editor->setText(QStringLiteral("abc"));
    QTest::keyClick(m_editor, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(FrmFind::instance());
    QTRY_VERIFY(FrmFind::instance()->isVisible());
    QCOMPARE(m_editor->text(), QStringLiteral("abc"));
}

void TestInputHandling::rightButtonOpensTheEditMenu()
{
    auto *menu = m_window->findChild<QMenu *>(QStringLiteral("mEdit"));
    QTest::mouseClick(m_editor->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QVERIFY(!menu->isVisible());
    QTest::mouseClick(m_editor->viewport(), Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
}

void TestInputHandling::droppedFilesOpenOnlyOne()
{
    const QString one = writeSheet(QStringLiteral("one.css"), "one {}");
    const QString two = writeSheet(QStringLiteral("two.css"), "two {}");
    m_editor->setText(QStringLiteral("changed"));
    const auto drop = [&](const QList<QUrl> &urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_editor->viewport(), &enter);
        QCOMPARE(enter.dropAction(), Qt::CopyAction); // a file is never moved
        QDropEvent event(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_editor->viewport(), &event);
    };
    drop({QUrl::fromLocalFile(one), QUrl::fromLocalFile(two)});
    QCOMPARE(m_editor->text(), QStringLiteral("changed"));
    QVERIFY(m_dialogs->messages().isEmpty());
    // The changed text is not dropped unasked: Cancel keeps it, No lets it go.
    m_dialogs->answerMessage(DialogSeam::Cancel);
    drop({QUrl::fromLocalFile(two)});
    QCOMPARE(m_editor->text(), QStringLiteral("changed"));
    m_dialogs->answerMessage(DialogSeam::No);
    drop({QUrl::fromLocalFile(two)});
    QCOMPARE(m_editor->text(), QStringLiteral("two {}"));
    QCOMPARE(m_window->DocPath(), two);
    QCOMPARE(m_dialogs->messages().size(), 2);
    QCOMPARE(m_dialogs->messages().last().text, QStringLiteral("Saves Changes to Untitled?"));
}

void TestInputHandling::draggingTextMovesTheCaret_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("action");
    QTest::newRow("plain drag moves") << int(Qt::NoModifier) << int(Qt::MoveAction);
    QTest::newRow("Ctrl copies") << int(Qt::ControlModifier) << int(Qt::CopyAction);
}

void TestInputHandling::draggingTextMovesTheCaret()
{
    QFETCH(int, modifiers);
    QFETCH(int, action);
    m_editor->setText(QStringLiteral("first line\r\nsecond line"));
    m_editor->setSelStart(0);
    QMimeData data;
    data.setText(QStringLiteral("x"));
    const QRect second = m_editor->cursorRect(m_editor->textCursor()).translated(0, m_editor->fontMetrics().height());
    const QPoint at(second.left() + 2, second.center().y());
    // Qt delivers moves only after the drag entered the widget.
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::KeyboardModifiers(modifiers));
    QCoreApplication::sendEvent(m_editor->viewport(), &enter);
    m_editor->setSelStart(0);
    QDragMoveEvent event(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                         Qt::KeyboardModifiers(modifiers));
    QCoreApplication::sendEvent(m_editor->viewport(), &event);
    QCOMPARE(int(event.dropAction()), action);
    QCOMPARE(m_editor->lineFromChar(m_editor->selStart()), 1); // the caret follows the pointer
}

void TestInputHandling::droppedTextIsInserted()
{
    m_editor->setText(QStringLiteral("ab"));
    m_editor->setSelStart(1);
    QMimeData data;
    data.setText(QStringLiteral("XY"));
    const QPoint at = m_editor->cursorRect(m_editor->textCursor()).center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::ControlModifier);
    QCoreApplication::sendEvent(m_editor->viewport(), &enter);
    QDropEvent event(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::ControlModifier);
    QCoreApplication::sendEvent(m_editor->viewport(), &event);
    QCOMPARE(m_editor->text(), QStringLiteral("aXYb"));
    QCOMPARE(int(event.dropAction()), int(Qt::CopyAction));
}

QTEST_MAIN(TestInputHandling)
#include "tst_inputhandling.moc"
