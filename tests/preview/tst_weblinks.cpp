#include "dialogs/scopeddialogseam.h"
#include "preview/frmabout.h"
#include "preview/scopedlauncher.h"
#include "preview/weblinks.h"
#include "support/recordinglauncher.h"
#include "support/scripteddialogs.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <memory>

using namespace sheetsmith;

namespace {

// Message boxes noted in the launcher's log, so that the order of messages, addresses
// and clipboard can be compared as one list.
class LoggedDialogs : public ScriptedDialogs
{
public:
    explicit LoggedDialogs(RecordingLauncher &launcher)
        : m_launcher(launcher)
    {
    }
    int message(QWidget *owner, const QString &text, int flags, const QString &title) override
    {
        m_launcher.note(QStringLiteral("message %1 ").arg(flags) + text);
        return ScriptedDialogs::message(owner, text, flags, title);
    }

private:
    RecordingLauncher &m_launcher;
};

const QString Validator = QStringLiteral("https://jigsaw.w3.org/css-validator/#validate_by_input");
const QString Instructions = QStringLiteral(
    "Instructions:\r\n1. Paste the file in the text aera in the opened page.\r\n"
    "2. Select CSS version 1 profile.\r\n3. Click on the submit button");
const QString ReportText =
    QStringLiteral("Please be specified when reporting errors or suggestions.");

using LinkCommand = void (*)(QWidget *);

} // namespace

Q_DECLARE_METATYPE(LinkCommand)

class TestWebLinks : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void validateShowsInstructionsThenOpensPageThenFillsClipboard_data();
    void validateShowsInstructionsThenOpensPageThenFillsClipboard();
    void validateFillsClipboardWhenNoBrowserOpens();
    void helpLinksOpenTheirAddress_data();
    void helpLinksOpenTheirAddress();
    void unopenedAddressIsReported_data();
    void unopenedAddressIsReported();

    void versionText_data();
    void versionText();
    void aboutBoxShowsTitleVersionAndSite();
    void aboutBoxIsModelessAndFixedSize();
    void siteLabelOpensHomePage_data();
    void siteLabelOpensHomePage();
    void siteLabelFailureIsOwnedByTheBox();
    void okClosesAndDeletesTheBox();
    void onlyOneAboutBox();

private:
    std::unique_ptr<RecordingLauncher> m_launcher;
    std::unique_ptr<ScopedLauncher> m_launcherScope;
    std::unique_ptr<LoggedDialogs> m_dialogs;
    std::unique_ptr<ScopedDialogSeam> m_dialogScope;
    std::unique_ptr<QWidget> m_owner;
};

void TestWebLinks::init()
{
    m_launcher = std::make_unique<RecordingLauncher>();
    m_launcherScope = std::make_unique<ScopedLauncher>(*m_launcher);
    m_dialogs = std::make_unique<LoggedDialogs>(*m_launcher);
    m_dialogScope = std::make_unique<ScopedDialogSeam>(*m_dialogs);
    m_owner = std::make_unique<QWidget>();
}

void TestWebLinks::cleanup()
{
    QCOMPARE(m_dialogs->unanswered(), QStringList());
    QCOMPARE(m_dialogs->pendingAnswers(), 0);
    m_owner.reset(); // takes an open About box with it
    QVERIFY(!FrmAbout::instance());
    m_dialogScope.reset();
    m_dialogs.reset();
    m_launcherScope.reset();
    m_launcher.reset();
}

void TestWebLinks::validateShowsInstructionsThenOpensPageThenFillsClipboard_data()
{
    QTest::addColumn<QString>("sheet");

    QTest::newRow("one rule") << QStringLiteral("h1 { color: red }");
    QTest::newRow("empty sheet") << QString();
    QTest::newRow("CR LF lines, comment and non-ASCII kept as they are")
        << QStringLiteral("/* caf\u00e9 */\r\np { font-family: \"Times\" }\r\n\r\n");
}

void TestWebLinks::validateShowsInstructionsThenOpensPageThenFillsClipboard()
{
    QFETCH(QString, sheet);
    m_dialogs->answerMessage(DialogSeam::Ok);

    WebLinks::ValidateWithW3C(m_owner.get(), sheet);

    QCOMPARE(m_launcher->log(),
             QStringList({QStringLiteral("message 64 ") + Instructions,
                          QStringLiteral("url ") + Validator,
                          QStringLiteral("clipboard ") + sheet}));
    QCOMPARE(m_launcher->clipboardText(), sheet);
    QCOMPARE(m_dialogs->messages().size(), 1);
    QCOMPARE(m_dialogs->messages().at(0).title, QStringLiteral("Sheetsmith"));
    QCOMPARE(m_dialogs->messages().at(0).owner, m_owner.get());
}

void TestWebLinks::validateFillsClipboardWhenNoBrowserOpens()
{
    const QString sheet = QStringLiteral("em { font-style: italic }");
    m_launcher->setOpenUrlResult(false);
    m_dialogs->answerMessage(DialogSeam::Ok);
    m_dialogs->answerMessage(DialogSeam::Ok);

    WebLinks::ValidateWithW3C(m_owner.get(), sheet);

    // The failure is told last, when the sheet is already on the clipboard.
    const QStringList log = m_launcher->log();
    QCOMPARE(log.size(), 4);
    QCOMPARE(log.at(1), QStringLiteral("url ") + Validator);
    QCOMPARE(log.at(2), QStringLiteral("clipboard ") + sheet);
    QVERIFY2(log.at(3).startsWith(QStringLiteral("message 16 ")), qPrintable(log.at(3)));
    QVERIFY2(log.at(3).contains(Validator), qPrintable(log.at(3)));
    QVERIFY2(log.at(3).contains(QStringLiteral("clipboard")), qPrintable(log.at(3)));
}

void TestWebLinks::helpLinksOpenTheirAddress_data()
{
    QTest::addColumn<LinkCommand>("command");
    QTest::addColumn<QStringList>("expectedLog");

    QTest::newRow("CSS1 reference opens the recommendation, no message")
        << LinkCommand(&WebLinks::OpenCss1Reference)
        << QStringList{QStringLiteral("url https://www.w3.org/TR/REC-CSS1/")};
    QTest::newRow("home page opens the site root, no message")
        << LinkCommand(&WebLinks::OpenHomePage)
        << QStringList{QStringLiteral("url https://sheetsmith.example/")};
    QTest::newRow("report asks to be specific, then opens a mail to support")
        << LinkCommand(&WebLinks::ReportErrors)
        << QStringList{QStringLiteral("message 64 ") + ReportText,
                       QStringLiteral("url mailto:support@sheetsmith.example")};
}

void TestWebLinks::helpLinksOpenTheirAddress()
{
    QFETCH(LinkCommand, command);
    QFETCH(QStringList, expectedLog);
    for (const QString &line : expectedLog)
        if (line.startsWith(QStringLiteral("message")))
            m_dialogs->answerMessage(DialogSeam::Ok);

    command(m_owner.get());

    QCOMPARE(m_launcher->log(), expectedLog);
}

void TestWebLinks::unopenedAddressIsReported_data()
{
    QTest::addColumn<LinkCommand>("command");
    QTest::addColumn<int>("messagesBefore");
    QTest::addColumn<QString>("named");
    QTest::addColumn<QString>("handler");

    QTest::newRow("CSS1 reference without a browser")
        << LinkCommand(&WebLinks::OpenCss1Reference) << 0
        << QStringLiteral("https://www.w3.org/TR/REC-CSS1/") << QStringLiteral("web browser");
    QTest::newRow("home page without a browser")
        << LinkCommand(&WebLinks::OpenHomePage) << 0
        << QStringLiteral("https://sheetsmith.example/") << QStringLiteral("web browser");
    QTest::newRow("report without a mail program names the address, not a browser")
        << LinkCommand(&WebLinks::ReportErrors) << 1
        << QStringLiteral("support@sheetsmith.example") << QStringLiteral("mail program");
}

void TestWebLinks::unopenedAddressIsReported()
{
    QFETCH(LinkCommand, command);
    QFETCH(int, messagesBefore);
    QFETCH(QString, named);
    QFETCH(QString, handler);
    m_launcher->setOpenUrlResult(false);
    for (int i = 0; i <= messagesBefore; ++i)
        m_dialogs->answerMessage(DialogSeam::Ok);

    command(m_owner.get());

    QCOMPARE(m_dialogs->messages().size(), messagesBefore + 1);
    const ScriptedDialogs::Message failure = m_dialogs->messages().last();
    QCOMPARE(failure.flags, int(DialogSeam::Critical));
    QCOMPARE(failure.owner, m_owner.get());
    QVERIFY2(failure.text.contains(named), qPrintable(failure.text));
    QVERIFY2(failure.text.contains(handler), qPrintable(failure.text));
    QVERIFY2(!failure.text.contains(QStringLiteral("mailto:")), qPrintable(failure.text));
    // The failure is told after the attempt, never instead of it.
    QVERIFY(m_launcher->log().last().startsWith(QStringLiteral("message 16 ")));
    QCOMPARE(m_launcher->urls().size(), 1);
}

void TestWebLinks::versionText_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("expected");

    QTest::newRow("three parts") << QStringLiteral("2.5.17") << QStringLiteral(" Version 2.5.17");
    QTest::newRow("missing revision reads 0")
        << QStringLiteral("0.1") << QStringLiteral(" Version 0.1.0");
    QTest::newRow("major only") << QStringLiteral("3") << QStringLiteral(" Version 3.0.0");
    QTest::newRow("fourth part dropped")
        << QStringLiteral("1.2.3.4") << QStringLiteral(" Version 1.2.3");
    QTest::newRow("suffix after the digits dropped")
        << QStringLiteral("1.4.2-beta") << QStringLiteral(" Version 1.4.2");
    QTest::newRow("unreadable part reads 0")
        << QStringLiteral("1.x.3") << QStringLiteral(" Version 1.0.3");
    QTest::newRow("empty part reads 0")
        << QStringLiteral("1..3") << QStringLiteral(" Version 1.0.3");
    QTest::newRow("leading zeros dropped")
        << QStringLiteral("01.02.003") << QStringLiteral(" Version 1.2.3");
    QTest::newRow("number too large reads 0")
        << QStringLiteral("99999999999.1.2") << QStringLiteral(" Version 0.1.2");
    QTest::newRow("no version set: the build's own")
        << QString() << QStringLiteral(" Version 0.1.0");
    QTest::newRow("blank version: the build's own")
        << QStringLiteral("  ") << QStringLiteral(" Version 0.1.0");
    QTest::newRow("non-ASCII digits are not numbers")
        << QStringLiteral("\u0661.2.3") << QStringLiteral(" Version 0.2.3");
}

void TestWebLinks::versionText()
{
    QFETCH(QString, version);
    QFETCH(QString, expected);
    QCOMPARE(FrmAbout::versionText(version), expected);
}

void TestWebLinks::aboutBoxShowsTitleVersionAndSite()
{
    const QString previous = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationVersion(QStringLiteral("4.7"));
    FrmAbout *box = FrmAbout::showFor(m_owner.get());
    QCoreApplication::setApplicationVersion(previous);
    QVERIFY(box);

    QCOMPARE(box->objectName(), QStringLiteral("frmAbout"));
    QCOMPARE(box->windowTitle(), QStringLiteral("About Sheetsmith"));
    const auto *title = box->findChild<QLabel *>(QStringLiteral("lblTitle"));
    const auto *version = box->findChild<QLabel *>(QStringLiteral("lblVersion"));
    const auto *site = box->findChild<QLabel *>(QStringLiteral("LblSite"));
    const auto *ok = box->findChild<QPushButton *>(QStringLiteral("cmdOK"));
    QVERIFY(title && version && site && ok);
    QCOMPARE(title->text(), QStringLiteral(" Sheetsmith"));
    QCOMPARE(version->text(), QStringLiteral(" Version 4.7.0"));
    QCOMPARE(site->text(), QStringLiteral("https://sheetsmith.example/"));
    QCOMPARE(ok->text(), QStringLiteral("OK"));

    // Every control a screen reader meets has a name of its own.
    for (const QWidget *w : box->findChildren<QWidget *>())
        if (w->isVisibleTo(box) && qobject_cast<const QLabel *>(w))
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
    QVERIFY(site->focusPolicy() & Qt::TabFocus);
}

void TestWebLinks::aboutBoxIsModelessAndFixedSize()
{
    FrmAbout *box = FrmAbout::showFor(m_owner.get());
    QVERIFY(box->isVisible());
    QVERIFY(!box->isModal());
    QCOMPARE(box->parentWidget(), m_owner.get());
    QVERIFY(box->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(box->minimumSize(), box->maximumSize());
    QVERIFY(!box->minimumSize().isEmpty());
}

void TestWebLinks::siteLabelOpensHomePage_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("opens");

    QTest::newRow("left click") << QStringLiteral("left") << true;
    QTest::newRow("right click does nothing") << QStringLiteral("right") << false;
    QTest::newRow("Space key") << QStringLiteral("space") << true;
    QTest::newRow("Return key") << QStringLiteral("return") << true;
    QTest::newRow("keypad Enter key") << QStringLiteral("enter") << true;
    QTest::newRow("a letter key does nothing") << QStringLiteral("a") << false;
}

void TestWebLinks::siteLabelOpensHomePage()
{
    QFETCH(QString, input);
    QFETCH(bool, opens);
    FrmAbout *box = FrmAbout::showFor(m_owner.get());
    auto *site = box->findChild<QLabel *>(QStringLiteral("LblSite"));
    QVERIFY(site);

    if (input == QLatin1String("left"))
        QTest::mouseClick(site, Qt::LeftButton);
    else if (input == QLatin1String("right"))
        QTest::mouseClick(site, Qt::RightButton);
    else if (input == QLatin1String("space"))
        QTest::keyClick(site, Qt::Key_Space);
    else if (input == QLatin1String("return"))
        QTest::keyClick(site, Qt::Key_Return);
    else if (input == QLatin1String("enter"))
        QTest::keyClick(site, Qt::Key_Enter, Qt::KeypadModifier);
    else
        QTest::keyClick(site, Qt::Key_A);

    const QStringList expected =
        opens ? QStringList{QStringLiteral("url https://sheetsmith.example/")} : QStringList();
    QCOMPARE(m_launcher->log(), expected);
    // Enter on the link must not also press the default OK button.
    QVERIFY(box->isVisible());
}

void TestWebLinks::siteLabelFailureIsOwnedByTheBox()
{
    FrmAbout *box = FrmAbout::showFor(m_owner.get());
    m_launcher->setOpenUrlResult(false);
    m_dialogs->answerMessage(DialogSeam::Ok);

    QTest::mouseClick(box->findChild<QLabel *>(QStringLiteral("LblSite")), Qt::LeftButton);

    QCOMPARE(m_dialogs->messages().size(), 1);
    QCOMPARE(m_dialogs->messages().at(0).flags, int(DialogSeam::Critical));
    QCOMPARE(m_dialogs->messages().at(0).owner, box);
}

void TestWebLinks::okClosesAndDeletesTheBox()
{
    FrmAbout *box = FrmAbout::showFor(m_owner.get());
    QPointer<FrmAbout> watched(box);

    QTest::mouseClick(box->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);

    QVERIFY(!box->isVisible());
    QTRY_VERIFY(!watched);
    QVERIFY(!FrmAbout::instance());
    QVERIFY(m_launcher->log().isEmpty());
}

void TestWebLinks::onlyOneAboutBox()
{
    FrmAbout *first = FrmAbout::showFor(m_owner.get());
    FrmAbout *second = FrmAbout::showFor(m_owner.get());
    QCOMPARE(second, first);
    QCOMPARE(m_owner->findChildren<FrmAbout *>().size(), 1);

    // Closed, the next Help > About makes a new one.
    first->close();
    QTRY_VERIFY(!FrmAbout::instance());
    FrmAbout *third = FrmAbout::showFor(m_owner.get());
    QVERIFY(third);
    QVERIFY(third->isVisible());
    QCOMPARE(m_owner->findChildren<FrmAbout *>().size(), 1);

    // A box shown for another owner replaces the old one instead of adding a second.
    QWidget otherOwner;
    FrmAbout *fourth = FrmAbout::showFor(&otherOwner);
    QCOMPARE(fourth->parentWidget(), &otherOwner);
    QCOMPARE(m_owner->findChildren<FrmAbout *>().size(), 0);
    delete fourth;
}

QTEST_MAIN(TestWebLinks)
#include "tst_weblinks.moc"
