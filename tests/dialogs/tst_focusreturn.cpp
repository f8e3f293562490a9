#include "dialogs/focusreturn.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using namespace sheetsmith;

// The focus given back when a watched panel or window is hidden, and left alone when
// it has already gone elsewhere or where it was is gone.
class TestFocusReturn : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void hiddenPanel_data();
    void hiddenPanel();
    void closedWindow_data();
    void closedWindow();

private:
    std::unique_ptr<QWidget> m_window;
    QLineEdit *m_first = nullptr;  // where the focus is before the panel opens
    QLineEdit *m_second = nullptr; // another place, first in line after the panel
    QWidget *m_panel = nullptr;
    QLineEdit *m_input = nullptr; // the panel's input
};

void TestFocusReturn::init()
{
    m_window = std::make_unique<QWidget>();
    auto *column = new QVBoxLayout(m_window.get());
    m_first = new QLineEdit(m_window.get());
    m_panel = new QWidget(m_window.get());
    m_input = new QLineEdit(m_panel);
    m_second = new QLineEdit(m_window.get());
    column->addWidget(m_first);
    column->addWidget(m_panel);
    column->addWidget(m_second);
    // Qt's own choice after a hidden panel is the next in the tab order: not m_first.
    QWidget::setTabOrder(m_first, m_input);
    QWidget::setTabOrder(m_input, m_second);
    m_panel->hide();
    FocusReturn::watch(m_panel);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestFocusReturn::cleanup()
{
    m_window.reset();
}

void TestFocusReturn::hiddenPanel_data()
{
    QTest::addColumn<QString>("meanwhile"); // what happens while the panel is open
    QTest::addColumn<QString>("expected");  // where the focus is after it is hidden
    QTest::newRow("nothing: back where it was") << "" << "first";
    QTest::newRow("focus moved elsewhere: left there") << "focus second" << "second";
    QTest::newRow("where it was is hidden: Qt's choice") << "hide first" << "second";
    QTest::newRow("where it was is deleted: Qt's choice") << "delete first" << "second";
}

void TestFocusReturn::hiddenPanel()
{
    QFETCH(QString, meanwhile);
    QFETCH(QString, expected);
    m_first->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), m_first);
    m_panel->show();
    m_input->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), m_input);

    if (meanwhile == QLatin1String("focus second")) {
        m_second->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), m_second);
    } else if (meanwhile == QLatin1String("hide first")) {
        m_first->hide();
    } else if (meanwhile == QLatin1String("delete first")) {
        delete m_first;
        m_first = nullptr;
    }
    m_panel->hide();
    QTRY_COMPARE(QApplication::focusWidget(), expected == QLatin1String("first") ? m_first : m_second);
}

void TestFocusReturn::closedWindow_data()
{
    QTest::addColumn<bool>("focusBack"); // the focus went back to the main window first
    QTest::newRow("closed while active") << false;
    QTest::newRow("closed after the author went back") << true;
}

void TestFocusReturn::closedWindow()
{
    QFETCH(bool, focusBack);
    m_second->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), m_second);
    auto *dialog = new QDialog(m_window.get()); // owned by the window
    auto *text = new QLineEdit(dialog);
    FocusReturn::watch(dialog);
    dialog->show();
    dialog->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), dialog);
    text->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), text);

    if (focusBack) {
        m_window->activateWindow();
        m_first->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), m_first);
    }
    dialog->close();
    QTRY_COMPARE(QApplication::activeWindow(), m_window.get());
    QTRY_COMPARE(QApplication::focusWidget(), focusBack ? m_first : m_second);
}

QTEST_MAIN(TestFocusReturn)
#include "tst_focusreturn.moc"
