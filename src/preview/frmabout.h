#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QPushButton;

namespace sheetsmith {

// The About box (objectName "frmAbout"): a modeless, fixed-size dialog owned by the
// main window that names the program and its version and links to the maker's home
// page. There is at most one; it deletes itself when closed.
//
// The site label LblSite works as a link: a click, or Enter or Space while it has the
// focus, opens the home page through the launcher, exactly as Help > Home Page does.
class FrmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit FrmAbout(QWidget *owner = nullptr);
    ~FrmAbout() override;

    // Shows the one About box, creating it on first use, and brings it forward.
    static FrmAbout *showFor(QWidget *owner);
    // The open About box, or nullptr.
    static FrmAbout *instance();

    // The version label's text for a version string "major.minor.revision": " Version "
    // and the three numbers. A missing or unreadable part reads 0, parts after the third
    // are dropped, and an empty string stands for the build's own version.
    static QString versionText(const QString &version);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void lblSiteClick();

    static QPointer<FrmAbout> s_instance;

    // Controls, owned by this window as its children.
    QLabel *m_lblTitle = nullptr;
    QLabel *m_lblVersion = nullptr;
    QLabel *m_lblSite = nullptr;
    QLabel *m_lblAuthor = nullptr;
    QPushButton *m_cmdOK = nullptr;
};

} // namespace sheetsmith
