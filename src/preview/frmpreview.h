#pragma once

#include "dialogs/twips.h"
#include "preview/pageview.h"

#include <QIcon>
#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QToolBar;
class QUrl;

namespace sheetsmith {

class CdlgEx;
class LivePreview;
class SettingsStore;

// The preview window "Preview" (objectName "FrmPreview"): a floating tool window owned
// by the main window, so it stays above it, showing an HTML page of the author's with
// the sheet being edited inserted into its head.
//
// Its toolbar Tb holds Refresh, the page list ComPath (full paths, in the order they
// were added; pick only), the live toggle Tb_Live, the element picker Tb_Pick, Browse
// and the collapse toggle; below it the page view WebBrowser1. The page is composed
// again, and its copy written, only when a page is picked, on Refresh and on Browse.
// With live preview on (kept as "Live"), edits also reach the page shown without a
// reload, the rule at the caret is outlined in it, and Tb_Pick finds the rules of an
// element picked in it (LivePreview).
//
// When the process that renders the page ends (a crash, or killed when memory runs
// out), the notice PreviewStatus over the view says so; the next edit of the sheet, or
// Refresh, composes the page again with the sheet as it is then and shows it.
//
// Constructing the window loads it: the page list, placement and collapsed state come
// from the settings store and "Show" becomes "1". Closing it stores them again with
// "Show" "0" and deletes the window (it is made with Qt::WA_DeleteOnClose); hiding it
// keeps it loaded and stores nothing.
//
// Sizes follow the window's outer frame, in twips: collapsed the window is 800 high,
// expanded again 5000; the view is 400 narrower and 1000 lower than the window, and
// keeps its size while the window is lower than 1000.
class FrmPreview : public QWidget
{
    Q_OBJECT

public:
    struct Pictures
    {
        QIcon refresh;
        QIcon browse;
        QIcon collapse; // shown while expanded: a click collapses
        QIcon expand;   // shown while collapsed: a click expands
    };

    // sheetText gives the editor's whole text with CR LF breaks at the moment a page is
    // composed.
    FrmPreview(SettingsStore &settings, std::function<QString()> sheetText, const Pictures &pictures,
               QWidget *owner);
    ~FrmPreview() override;

    // Composes the preview of the page selected in ComPath and writes it beside the
    // page. With navigate, the view shows it and the result is empty; without, the
    // view is left alone and the result is the composed copy's path. A failure (no
    // page chosen, a page that cannot be read, a copy that cannot be written) is told
    // to the author; the view keeps what it showed and the result is empty.
    QString ComposePreviewPage(bool navigate);
    // The copy composed last, empty before the first.
    QString previewPath() const { return m_previewPath; }

    // Deletes the composed copies of the stored pages (File1, File2, ... up to the
    // first empty one), which are temporary; the program does this at exit.
    static void deleteStoredCopies(const SettingsStore &settings);

    // The toolbar buttons, by key: "Refresh", "Browse", "Min".
    void onToolbarButton(const QString &key);
    // Whether the collapse toggle shows its expand picture.
    bool isCollapsed() const { return m_collapsed; }
    QAction *toggleAction() const { return m_min; }

    // Live preview (see above).
    void setLivePictures(const QIcon &live, const QIcon &pick);
    bool isLive() const;
    LivePreview &live() const { return *m_liveView; }
    // The sheet changed in the editor.
    void sheetChanged();
    // The selector of the rule at the caret; empty when the caret is in none.
    void showRule(const QString &selector);
    // The selectors Tb_Pick asks the page about, in the order elementPicked counts them.
    void setPickSelectors(std::function<QStringList()> selectors) { m_pickSelectors = std::move(selectors); }

    // Outer placement in twips, as stored.
    float leftTwips() const;
    float topTwips() const;
    float widthTwips() const;
    float heightTwips() const;

    QComboBox *ComPath() const { return m_comPath; }
    QLabel *PreviewStatus() const { return m_status; }
    QToolBar *Tb() const { return m_tb; }
    PageView *WebBrowser1() const { return m_view; }

signals:
    // An element picked in the page matches these of the pick selectors.
    void elementPicked(const QList<int> &matched);

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    // A twips value set on the window and the pixels it came to, so that reading the
    // placement back gives exactly what was set as long as the window was not moved
    // or resized since: no drift from rounding at every start, and a collapsed window
    // reads 800 however the window system rounded it.
    struct Measure
    {
        float twips = 0;
        int px = -1;
        float read(int currentPx, float twipsPerPx) const
        {
            return currentPx == px ? twips : float(currentPx) * twipsPerPx;
        }
    };

    void buildControls(const Pictures &pictures);
    void runOpeningSteps();
    void storePlacement();
    void browse();
    void setCollapsed(bool collapsed);
    void setOuterHeightTwips(float twips);
    void layOutView();
    void setLive(bool on);
    // ComposePreviewPage, answering whether it worked; a failure is told in a message
    // box, or put into failure when one is given.
    bool composeAndShow(bool navigate, QString *failure);
    // Every page the view is sent goes through here.
    void showPage(const QUrl &url, const QString &sheet);
    void pageStopped(PageView::Termination status, int exitCode);
    // Brings a stopped page back: the chosen page composed again, else a blank one. A
    // failure to compose is told in a message box with tell, else in PreviewStatus.
    void restartPage(bool tell);
    // PreviewStatus shows text; empty, it goes.
    void showStatus(const QString &text);
    void layOutStatus();
    void updatePause();
    QSize frameExtra() const;
    int twipsToPxX(float twips) const { return twipsToPx(twips, logicalDpiX()); }
    int twipsToPxY(float twips) const { return twipsToPx(twips, logicalDpiY()); }

    SettingsStore &m_settings;
    std::function<QString()> m_sheetText;
    std::unique_ptr<CdlgEx> m_dialog;
    QIcon m_collapseIcon;
    QIcon m_expandIcon;
    bool m_collapsed = false;
    QString m_previewPath;
    Measure m_left;
    Measure m_top;
    Measure m_width;
    Measure m_height;

    // Controls, owned by this window as its children.
    QToolBar *m_tb = nullptr;
    QComboBox *m_comPath = nullptr;
    QAction *m_min = nullptr;
    QAction *m_live = nullptr;
    QAction *m_pick = nullptr;
    QAction *m_endPick = nullptr;
    PageView *m_view = nullptr;
    LivePreview *m_liveView = nullptr; // a child of this window
    QLabel *m_status = nullptr;
    // The page's process ended and no page has been shown since.
    bool m_stopped = false;
    std::function<QStringList()> m_pickSelectors;
};

} // namespace sheetsmith
