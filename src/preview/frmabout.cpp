#include "preview/frmabout.h"

#include "dialogs/focusreturn.h"
#include "preview/weblinks.h"

#include <QCoreApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStringList>
#include <QUrl>
#include <QVBoxLayout>

namespace sheetsmith {

namespace {
const QString kAppTitle = QStringLiteral("Sheetsmith");
// The version when the program has none set (the project's own version).
const QString kBuildVersion = QStringLiteral(SHEETSMITH_VERSION);

// The leading decimal digits of a version part; 0 when there are none.
int versionPart(const QString &part)
{
    const QString trimmed = part.trimmed();
    qsizetype digits = 0;
    while (digits < trimmed.size() && trimmed.at(digits) >= QLatin1Char('0')
           && trimmed.at(digits) <= QLatin1Char('9'))
        ++digits;
    bool ok = false;
    const int value = trimmed.left(digits).toInt(&ok);
    return ok ? value : 0;
}

QFrame *decorativeLine(QWidget *parent, const QString &name)
{
    auto *line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}
} // namespace

QPointer<FrmAbout> FrmAbout::s_instance;

FrmAbout::FrmAbout(QWidget *owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    FocusReturn::watch(this);
    setWindowTitle(QStringLiteral("About ") + kAppTitle);
    buildControls();
}

FrmAbout::~FrmAbout() = default;

FrmAbout *FrmAbout::showFor(QWidget *owner)
{
    if (s_instance && s_instance->parentWidget() != owner) {
        // A box left over from another owner goes; the new owner gets its own.
        s_instance->close();
        delete s_instance.data(); // close() only schedules the deletion
    }
    if (!s_instance)
        s_instance = new FrmAbout(owner); // deletes itself when closed
    s_instance->show();
    s_instance->raise();
    s_instance->activateWindow();
    return s_instance;
}

FrmAbout *FrmAbout::instance()
{
    return s_instance;
}

QString FrmAbout::versionText(const QString &version)
{
    const QString source = version.trimmed().isEmpty() ? kBuildVersion : version;
    const QStringList parts = source.split(QLatin1Char('.'));
    QStringList numbers;
    for (int i = 0; i < 3; ++i)
        numbers << QString::number(i < parts.size() ? versionPart(parts.at(i)) : 0);
    return QStringLiteral(" Version ") + numbers.join(QLatin1Char('.'));
}

void FrmAbout::buildControls()
{
    m_lblTitle = new QLabel(QStringLiteral(" ") + kAppTitle, this);
    m_lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = m_lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    m_lblTitle->setFont(titleFont);
    m_lblTitle->setAccessibleName(QStringLiteral("Program name"));

    m_lblVersion = new QLabel(versionText(QCoreApplication::applicationVersion()), this);
    m_lblVersion->setObjectName(QStringLiteral("lblVersion"));
    m_lblVersion->setAccessibleName(QStringLiteral("Version"));

    // A plain label made to look and act like a link: underlined in the link colour,
    // a pointing hand, and reachable with Tab. The clicks and keys arrive through
    // eventFilter.
    m_lblSite = new QLabel(QString(WebLinks::HomePageAddress), this);
    m_lblSite->setObjectName(QStringLiteral("LblSite"));
    m_lblSite->setTextFormat(Qt::PlainText);
    QFont siteFont = m_lblSite->font();
    siteFont.setUnderline(true);
    m_lblSite->setFont(siteFont);
    QPalette sitePalette = m_lblSite->palette();
    sitePalette.setColor(QPalette::WindowText, sitePalette.color(QPalette::Link));
    m_lblSite->setPalette(sitePalette);
    m_lblSite->setCursor(Qt::PointingHandCursor);
    m_lblSite->setFocusPolicy(Qt::StrongFocus);
    m_lblSite->setAccessibleName(QStringLiteral("Home page"));
    m_lblSite->setAccessibleDescription(
        QStringLiteral("Opens the home page in the web browser"));
    m_lblSite->setToolTip(QStringLiteral("Open the home page"));
    m_lblSite->installEventFilter(this);

    m_lblAuthor = new QLabel(QStringLiteral("Made by the Sheetsmith team"), this);
    m_lblAuthor->setObjectName(QStringLiteral("lblAuthor"));
    m_lblAuthor->setAccessibleName(QStringLiteral("Credits"));

    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setAccessibleName(QStringLiteral("OK"));
    m_cmdOK->setDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &FrmAbout::close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lblTitle);
    layout->addWidget(m_lblVersion);
    layout->addWidget(decorativeLine(this, QStringLiteral("Line1")));
    layout->addWidget(m_lblSite);
    layout->addWidget(m_lblAuthor);
    layout->addWidget(decorativeLine(this, QStringLiteral("Line2")));
    layout->addWidget(m_cmdOK, 0, Qt::AlignRight);
    // The box keeps the size its contents need; the author cannot resize it.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_cmdOK, m_lblSite);
    m_cmdOK->setFocus();
}

bool FrmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_lblSite) {
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton
                && m_lblSite->rect().contains(mouse->position().toPoint())) {
                lblSiteClick();
                return true;
            }
        } else if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter
                || key->key() == Qt::Key_Space) {
                lblSiteClick();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmAbout::lblSiteClick()
{
    WebLinks::OpenAddress(this, QUrl(WebLinks::HomePageAddress));
}

} // namespace sheetsmith
