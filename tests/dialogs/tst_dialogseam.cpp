#include "dialogs/dialogseam.h"
#include "dialogs/qtdialogseam.h"
#include "dialogs/scopeddialogseam.h"
#include "support/scripteddialogs.h"

#include <QTest>
#include <QWidget>

using namespace sheetsmith;

using Buttons = QList<QMessageBox::StandardButton>;
Q_DECLARE_METATYPE(QMessageBox::StandardButton)

class TestDialogSeam : public QObject
{
    Q_OBJECT

private slots:
    void buttonsForFlags_data();
    void buttonsForFlags();

    void scopedSeamsNestAndRestore();
    void msgBoxUsesTheApplicationTitle();
    void unscriptedCallFailsInsteadOfWaiting();
};

void TestDialogSeam::buttonsForFlags_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<QMessageBox::StandardButton>("defaultButton");
    QTest::addColumn<QMessageBox::StandardButton>("escapeButton");
    using B = QMessageBox::StandardButton;
    QTest::newRow("critical with OK") << (DialogSeam::Critical | DialogSeam::OkOnly)
                                      << Buttons{B::Ok} << B::Ok << B::Ok;
    QTest::newRow("save prompt Yes No Cancel")
        << (DialogSeam::Question | DialogSeam::YesNoCancel) << Buttons{B::Yes, B::No, B::Cancel}
        << B::Yes << B::Cancel;
    QTest::newRow("Yes No closes as No") << int(DialogSeam::YesNo) << Buttons{B::Yes, B::No}
                                         << B::Yes << B::No;
    QTest::newRow("Abort Retry Ignore") << int(DialogSeam::AbortRetryIgnore)
                                        << Buttons{B::Abort, B::Retry, B::Ignore} << B::Abort
                                        << B::Ignore;
    QTest::newRow("second button as default")
        << (DialogSeam::YesNoCancel | DialogSeam::DefaultButton2) << Buttons{B::Yes, B::No, B::Cancel}
        << B::No << B::Cancel;
    QTest::newRow("default beyond the buttons falls back to the first")
        << (DialogSeam::YesNo | DialogSeam::DefaultButton3) << Buttons{B::Yes, B::No} << B::Yes
        << B::No;
    QTest::newRow("unknown button set gives OK") << (DialogSeam::Warning | 9) << Buttons{B::Ok}
                                                 << B::Ok << B::Ok;
}

void TestDialogSeam::buttonsForFlags()
{
    QFETCH(int, flags);
    QFETCH(Buttons, buttons);
    QFETCH(QMessageBox::StandardButton, defaultButton);
    QFETCH(QMessageBox::StandardButton, escapeButton);
    QCOMPARE(QtDialogSeam::buttonsFor(flags), buttons);
    QCOMPARE(QtDialogSeam::defaultButtonFor(flags), defaultButton);
    QCOMPARE(QtDialogSeam::escapeButtonFor(flags), escapeButton);
}

void TestDialogSeam::scopedSeamsNestAndRestore()
{
    QVERIFY(dynamic_cast<QtDialogSeam *>(&DialogSeam::current()) != nullptr);
    ScriptedDialogs outer;
    ScriptedDialogs inner;
    {
        ScopedDialogSeam outerScope(outer);
        QCOMPARE(&DialogSeam::current(), static_cast<DialogSeam *>(&outer));
        {
            ScopedDialogSeam innerScope(inner);
            QCOMPARE(&DialogSeam::current(), static_cast<DialogSeam *>(&inner));
        }
        QCOMPARE(&DialogSeam::current(), static_cast<DialogSeam *>(&outer));
    }
    QVERIFY(dynamic_cast<QtDialogSeam *>(&DialogSeam::current()) != nullptr);
}

void TestDialogSeam::msgBoxUsesTheApplicationTitle()
{
    ScriptedDialogs dialogs;
    ScopedDialogSeam scope(dialogs);
    QWidget owner;
    dialogs.answerMessage(DialogSeam::No);
    const int answer = MsgBox(&owner, QStringLiteral("Saves Changes to Untitled?"),
                              DialogSeam::Question | DialogSeam::YesNoCancel);
    QCOMPARE(answer, int(DialogSeam::No));
    QCOMPARE(dialogs.messages().size(), 1);
    const ScriptedDialogs::Message &shown = dialogs.messages().first();
    QCOMPARE(shown.text, QStringLiteral("Saves Changes to Untitled?"));
    QCOMPARE(shown.flags, 35);
    QCOMPARE(shown.title, QStringLiteral("Sheetsmith"));
    QCOMPARE(shown.owner, &owner);
}

void TestDialogSeam::unscriptedCallFailsInsteadOfWaiting()
{
    ScriptedDialogs dialogs;
    ScopedDialogSeam scope(dialogs);
    QEXPECT_FAIL("", "a message with no scripted answer fails the test", Continue);
    const int answer = MsgBox(nullptr, QStringLiteral("File not found!"), DialogSeam::Critical);
    QCOMPARE(answer, int(DialogSeam::Cancel));
    QCOMPARE(dialogs.unanswered().size(), 1);
    QVERIFY(dialogs.unanswered().first().contains(QLatin1String("File not found!")));
    QCOMPARE(dialogs.messages().size(), 1);
}

QTEST_MAIN(TestDialogSeam)
#include "tst_dialogseam.moc"
