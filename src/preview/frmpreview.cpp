#include "preview/frmpreview.h"

#include "dialogs/cdlgex.h"
#include "dialogs/dialogseam.h"
#include "preview/livepreview.h"
#include "preview/pageview.h"
#include "preview/previewpage.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHideEvent>
#include <QLabel>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>
#include <QPointer>
#include <QSignalBlocker>
#include <QToolBar>
#include <QUrl>

namespace sheetsmith {

namespace {

// Designed client area, and the view's designed place and size, in twips.
constexpr float DesignWidth = 5655;
constexpr float DesignHeight = 3900;
constexpr float ViewLeft = 120;
constexpr float ViewTop = 480;
constexpr float ViewWidth = 5415;
constexpr float ViewHeight = 3375;
constexpr float PageListWidth = 4215;
// Collapsed and expanded heights, and the margins of the view inside the window.
constexpr float CollapsedHeight = 800;
constexpr float ExpandedHeight = 5000;
constexpr float ViewMarginX = 400;
constexpr float ViewMarginY = 1000;
// A stored width below this would leave no room for the page list.
constexpr float MinimumWidth = 1500;

QString singleText(float value)
{
    return QString::number(value, 'g', 7);
}

QString stoppedNotice(PageView::Termination status, int exitCode)
{
    QString why;
    switch (status) {
    case PageView::Termination::Normal:
        why = QStringLiteral("its process ended");
        break;
    case PageView::Termination::Abnormal:
        why = QStringLiteral("its process failed with exit code %1").arg(exitCode);
        break;
    case PageView::Termination::Crashed:
        why = QStringLiteral("its process crashed");
        break;
    case PageView::Termination::Killed:
        why = QStringLiteral("its process was killed, perhaps for lack of memory");
        break;
    }
    return QStringLiteral("The page stopped (%1). Edit the sheet or press Refresh to bring it back.").arg(why);
}

} // namespace

FrmPreview::FrmPreview(SettingsStore &settings, std::function<QString()> sheetText, const Pictures &pictures,
                       QWidget *owner)
    : QWidget(owner, Qt::Tool)
    , m_settings(settings)
    , m_sheetText(std::move(sheetText))
    , m_dialog(std::make_unique<CdlgEx>())
    , m_collapseIcon(pictures.collapse)
    , m_expandIcon(pictures.expand)
{
    setObjectName(QStringLiteral("FrmPreview"));
    setWindowTitle(QStringLiteral("Preview"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls(pictures);
    resize(twipsToPxX(DesignWidth), twipsToPxY(DesignHeight));
    runOpeningSteps();
}

FrmPreview::~FrmPreview() = default;

void FrmPreview::buildControls(const Pictures &pictures)
{
    m_tb = new QToolBar(QStringLiteral("Preview toolbar"), this);
    m_tb->setObjectName(QStringLiteral("Tb"));
    m_tb->setIconSize(QSize(16, 16));

    QAction *refresh = m_tb->addAction(pictures.refresh, QStringLiteral("Refresh"));
    refresh->setObjectName(QStringLiteral("Tb_Refresh"));
    refresh->setData(QStringLiteral("Refresh"));
    // Refresh and Browse carry no tool tips of their own; their names stay readable
    // for screen readers.
    refresh->setToolTip(QString());
    m_tb->addSeparator();

    m_comPath = new QComboBox(m_tb);
    m_comPath->setObjectName(QStringLiteral("ComPath"));
    m_comPath->setAccessibleName(QStringLiteral("Preview page"));
    m_comPath->setEditable(false);
    // The list takes the toolbar's room: as wide as designed when the window is, wider
    // in a wider window so long paths can be read, narrower rather than pushing the
    // buttons after it out of sight.
    m_comPath->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_comPath->setMinimumContentsLength(8);
    m_comPath->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_comPath->resize(twipsToPxX(PageListWidth), m_comPath->sizeHint().height());
    m_tb->addWidget(m_comPath);
    // A page picked by the author, even the one already shown, is composed anew.
    connect(m_comPath, &QComboBox::activated, this, [this] { ComposePreviewPage(true); });

    m_live = m_tb->addAction(QStringLiteral("Live preview"));
    m_live->setObjectName(QStringLiteral("Tb_Live"));
    m_live->setToolTip(QStringLiteral("Live preview"));
    m_live->setCheckable(true);
    m_pick = m_tb->addAction(QStringLiteral("Find the rule for an element"));
    m_pick->setObjectName(QStringLiteral("Tb_Pick"));
    m_pick->setToolTip(QStringLiteral("Find the rule for an element"));
    m_pick->setCheckable(true);
    m_pick->setEnabled(false); // picking needs live preview
    // Esc ends picking, whichever part of the window has the focus.
    m_endPick = new QAction(QStringLiteral("Stop picking"), this);
    m_endPick->setShortcut(QKeySequence(Qt::Key_Escape));
    m_endPick->setShortcutContext(Qt::WindowShortcut);
    m_endPick->setEnabled(false);
    addAction(m_endPick);

    QAction *browse = m_tb->addAction(pictures.browse, QStringLiteral("Browse"));
    browse->setObjectName(QStringLiteral("Tb_Browse"));
    browse->setData(QStringLiteral("Browse"));
    browse->setToolTip(QString());
    m_tb->addSeparator();

    m_min = m_tb->addAction(m_collapseIcon, QStringLiteral("Minimize window"));
    m_min->setObjectName(QStringLiteral("Tb_Min"));
    m_min->setData(QStringLiteral("Min"));
    m_min->setToolTip(QStringLiteral("Minimize window"));
    // Checked while collapsed, so that assistive technology tells the two states apart
    // as the pictures do on screen.
    m_min->setCheckable(true);

    for (QAction *action : {refresh, browse, m_min}) {
        const QString key = action->data().toString();
        connect(action, &QAction::triggered, this, [this, key] { onToolbarButton(key); });
    }

    m_view = PageView::create(this);
    m_liveView = new LivePreview(*m_view, m_sheetText, this);
    connect(m_live, &QAction::toggled, this, &FrmPreview::setLive);
    connect(m_pick, &QAction::toggled, this, [this](bool on) {
        m_liveView->setPicking(on, on && m_pickSelectors ? m_pickSelectors() : QStringList());
        m_endPick->setEnabled(m_liveView->isPicking());
    });
    connect(m_endPick, &QAction::triggered, m_pick, [this] { m_pick->setChecked(false); });
    connect(m_liveView, &LivePreview::elementPicked, this, &FrmPreview::elementPicked);
    connect(m_liveView, &LivePreview::pickingEnded, this, [this] {
        const QSignalBlocker quiet(m_pick);
        m_pick->setChecked(false);
        m_endPick->setEnabled(false);
    });
    m_view->widget()->setObjectName(QStringLiteral("WebBrowser1"));
    m_view->widget()->setAccessibleName(QStringLiteral("Preview page view"));
    m_view->widget()->setGeometry(twipsToPxX(ViewLeft), twipsToPxY(ViewTop), twipsToPxX(ViewWidth),
                                  twipsToPxY(ViewHeight));

    // Over the view, whose page is gone while it shows.
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("PreviewStatus"));
    m_status->setAccessibleName(QStringLiteral("Preview status"));
    m_status->setWordWrap(true);
    m_status->setMargin(8);
    m_status->setFrameShape(QFrame::StyledPanel);
    m_status->setAutoFillBackground(true);
    m_status->hide();
    connect(m_liveView, &LivePreview::pageStopped, this, &FrmPreview::pageStopped);
}

void FrmPreview::runOpeningSteps()
{
    using namespace keys::preview;
    for (int n = 1; n <= MaxFiles; ++n) {
        const QString page = m_settings.read(Section, file(n));
        if (page.isEmpty())
            break;
        m_comPath->addItem(page);
        m_comPath->setItemData(m_comPath->count() - 1, page, Qt::ToolTipRole);
    }
    if (m_comPath->count() > 0) {
        m_comPath->setCurrentIndex(0);
        ComposePreviewPage(true);
    }

    // A placement that is missing or not a number keeps the designed size and leaves
    // the place to the window system, as does one that would put the window off every
    // screen.
    const auto stored = [this](QLatin1String key) { return SettingsStore::toSingle(m_settings.read(Section, key)); };
    const std::optional<float> left = stored(Left);
    const std::optional<float> top = stored(Top);
    const std::optional<float> width = stored(Width);
    if (width && *width >= MinimumWidth) {
        const int px = twipsToPxX(*width);
        resize(qMax(1, px - frameExtra().width()), height());
        m_width = {*width, px};
    }
    if (left && top) {
        const QPoint at(twipsToPxX(*left), twipsToPxY(*top));
        bool onScreen = false;
        for (QScreen *screen : QGuiApplication::screens())
            onScreen = onScreen || screen->availableGeometry().intersects(QRect(at, size()));
        if (onScreen) {
            move(at);
            m_left = {*left, at.x()};
            m_top = {*top, at.y()};
        }
    }
    const QString state = m_settings.read(Section, State);
    if (state == QLatin1String("Max")) {
        if (const std::optional<float> h = stored(Height))
            setOuterHeightTwips(qMax(*h, CollapsedHeight));
        setCollapsed(false);
    } else if (state == QLatin1String("Min")) {
        setCollapsed(true);
        setOuterHeightTwips(CollapsedHeight);
    }

    showPage(QUrl(QStringLiteral("about:blank")), QString());
    m_settings.write(Section, Show, QStringLiteral("1"));
    m_live->setChecked(m_settings.read(Section, Live) == QLatin1String("1"));
}

void FrmPreview::setLivePictures(const QIcon &live, const QIcon &pick)
{
    m_live->setIcon(live);
    m_pick->setIcon(pick);
}

bool FrmPreview::isLive() const
{
    return m_liveView->isEnabled();
}

void FrmPreview::setLive(bool on)
{
    m_settings.write(keys::preview::Section, keys::preview::Live, on ? QStringLiteral("1") : QStringLiteral("0"));
    if (!on)
        m_pick->setChecked(false);
    m_pick->setEnabled(on);
    m_liveView->setEnabled(on);
}

void FrmPreview::sheetChanged()
{
    if (m_stopped)
        restartPage(false);
    m_liveView->sheetChanged();
}

void FrmPreview::pageStopped(PageView::Termination status, int exitCode)
{
    m_stopped = true;
    showStatus(stoppedNotice(status, exitCode));
}

void FrmPreview::showStatus(const QString &text)
{
    m_status->setText(text);
    m_status->setVisible(!text.isEmpty());
    m_status->raise();
    layOutStatus();
}

void FrmPreview::layOutStatus()
{
    if (m_status->isHidden())
        return;
    const QRect view = m_view->widget()->geometry();
    m_status->setGeometry(view.x(), view.y(), view.width(), m_status->heightForWidth(view.width()));
}

void FrmPreview::showPage(const QUrl &url, const QString &sheet)
{
    m_stopped = false;
    showStatus(QString());
    m_liveView->pageNavigated(sheet);
    m_view->navigate(url);
}

void FrmPreview::restartPage(bool tell)
{
    QString failure;
    if (m_comPath->currentIndex() >= 0 && composeAndShow(true, tell ? nullptr : &failure))
        return;
    // No page to compose, or one that cannot be: a blank page, so the view works again.
    showPage(QUrl(QStringLiteral("about:blank")), QString());
    showStatus(failure);
}

void FrmPreview::showRule(const QString &selector)
{
    m_liveView->showRule(selector);
}

void FrmPreview::updatePause()
{
    // Hidden or collapsed, the page is not seen: updates wait until it is again.
    m_liveView->setPaused(!isVisible() || m_collapsed);
}

void FrmPreview::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    updatePause();
}

void FrmPreview::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    updatePause();
}

QString FrmPreview::ComposePreviewPage(bool navigate)
{
    return composeAndShow(navigate, nullptr) && !navigate ? m_previewPath : QString();
}

bool FrmPreview::composeAndShow(bool navigate, QString *failure)
{
    const QString page = m_comPath->currentIndex() >= 0 ? m_comPath->currentText() : QString();
    const QString sheet = m_sheetText();
    const ComposeResult composed = composePreviewFile(page, sheet);
    if (!composed.ok) {
        if (failure)
            *failure = composed.error;
        else
            MsgBox(this, composed.error, DialogSeam::Critical);
        return false;
    }
    m_previewPath = composed.copyPath;
    if (navigate)
        showPage(QUrl::fromLocalFile(m_previewPath), sheet);
    return true;
}

void FrmPreview::deleteStoredCopies(const SettingsStore &settings)
{
    for (int n = 1; n <= keys::preview::MaxFiles; ++n) {
        const QString page = settings.read(keys::preview::Section, keys::preview::file(n));
        if (page.isEmpty())
            break;
        const QString copy = previewCopyPath(page);
        if (QFileInfo(copy).isFile())
            QFile::remove(copy);
    }
}

void FrmPreview::onToolbarButton(const QString &key)
{
    if (key == QLatin1String("Refresh")) {
        if (m_stopped)
            restartPage(true);
        else
            ComposePreviewPage(true);
    } else if (key == QLatin1String("Browse")) {
        browse();
    } else if (key == QLatin1String("Min")) {
        const bool collapse = !m_collapsed;
        setCollapsed(collapse);
        setOuterHeightTwips(collapse ? CollapsedHeight : ExpandedHeight);
    }
}

void FrmPreview::browse()
{
    m_dialog->setFlags(CdlgEx::HideReadOnly);
    m_dialog->setFilter(QStringLiteral("Html Files|*.htm;*.html|All Files (*.*)|*.*"));
    m_dialog->setHOwner(this);
    m_dialog->ShowOpen();
    if (m_dialog->cdlError() == QLatin1String("Cancel"))
        return;
    const QString chosen = m_dialog->FileName();
    QStringList pages;
    for (int i = 0; i < m_comPath->count(); ++i)
        pages << m_comPath->itemText(i);
    const int listed = findListedPage(pages, chosen);
    if (listed >= 0) {
        m_comPath->setCurrentIndex(listed);
        m_comPath->setFocus();
    } else {
        m_comPath->addItem(chosen);
        m_comPath->setItemData(m_comPath->count() - 1, chosen, Qt::ToolTipRole);
        m_comPath->setCurrentIndex(m_comPath->count() - 1);
        m_settings.write(keys::preview::Section, keys::preview::file(m_comPath->count()), chosen);
    }
    ComposePreviewPage(true);
}

void FrmPreview::setCollapsed(bool collapsed)
{
    m_collapsed = collapsed;
    m_min->setIcon(collapsed ? m_expandIcon : m_collapseIcon);
    m_min->setChecked(collapsed);
    updatePause();
}

QSize FrmPreview::frameExtra() const
{
    // Known once a window system has framed the window; nothing before that.
    const QRect frame = frameGeometry();
    return {qMax(0, frame.width() - width()), qMax(0, frame.height() - height())};
}

void FrmPreview::setOuterHeightTwips(float twips)
{
    const int px = twipsToPxY(twips);
    // However low the frame asks for, the toolbar stays whole.
    const int client = qMax(px - frameExtra().height(), m_tb->sizeHint().height());
    resize(width(), client);
    m_height = {twips, client + frameExtra().height()};
    layOutView();
}

float FrmPreview::leftTwips() const
{
    return m_left.read(frameGeometry().x(), pxToTwips(1, logicalDpiX()));
}

float FrmPreview::topTwips() const
{
    return m_top.read(frameGeometry().y(), pxToTwips(1, logicalDpiY()));
}

float FrmPreview::widthTwips() const
{
    return m_width.read(frameGeometry().width(), pxToTwips(1, logicalDpiX()));
}

float FrmPreview::heightTwips() const
{
    return m_height.read(frameGeometry().height(), pxToTwips(1, logicalDpiY()));
}

void FrmPreview::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOutView();
}

void FrmPreview::layOutView()
{
    m_tb->setGeometry(0, 0, width(), m_tb->sizeHint().height());
    const float h = heightTwips();
    if (h < ViewMarginY || isMinimized())
        return;
    const float w = widthTwips();
    m_view->widget()->setGeometry(twipsToPxX(ViewLeft), twipsToPxY(ViewTop), qMax(0, twipsToPxX(w - ViewMarginX)),
                                  qMax(0, twipsToPxY(h - ViewMarginY)));
    layOutStatus();
}

void FrmPreview::closeEvent(QCloseEvent *event)
{
    storePlacement();
    event->accept();
}

void FrmPreview::storePlacement()
{
    using namespace keys::preview;
    const float h = heightTwips();
    m_settings.write(Section, Top, singleText(topTwips()));
    m_settings.write(Section, Left, singleText(leftTwips()));
    m_settings.write(Section, Width, singleText(widthTwips()));
    m_settings.write(Section, Height, singleText(h));
    m_settings.write(Section, Show, QStringLiteral("0"));
    m_settings.write(Section, State, h == CollapsedHeight ? QStringLiteral("Min") : QStringLiteral("Max"));
}

} // namespace sheetsmith
