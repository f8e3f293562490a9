#pragma once

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace sheetsmith {

class RichEdit;

// The "Find and Replace" window (objectName "FrmFind"): a modeless dialog owned by the
// main window that searches the editor for a text, in direction "All", "Up" or "Down",
// optionally matching case and whole words only, and replaces what it found.
//
// Every search goes through RichEdit::find, which selects the match: a found text is
// the editor's selection, and Replace works on the selection, whatever it holds.
//
// A first search (NewSearch set) starts from the editor's selection or caret as the
// direction says; a search that finds something clears NewSearch, and the following
// Find Next presses continue from the match (FindNext) until one finds nothing, which
// sets NewSearch again. Changing the text, the direction or the options does not
// start a new search by itself.
//
// The window deletes itself when closed; its state goes with it.
class FrmFind : public QDialog
{
    Q_OBJECT

public:
    enum Direction { DirectionAll = 0, DirectionUp = 1, DirectionDown = 2 };

    // Loads the window for an editor: NewSearch set, direction "All", and the editor
    // keeping its selection visible while this window has the focus. The editor is
    // only watched: when it is destroyed first, the window's commands do nothing.
    explicit FrmFind(RichEdit &editor, QWidget *owner = nullptr);
    ~FrmFind() override;

    // Shows the one Find and Replace window, creating it on first use, and brings it
    // forward. An open window keeps its state; a window open for another editor or
    // owner is closed and a new one loaded.
    static FrmFind *showFor(QWidget *owner, RichEdit &editor);
    // The open window, or nullptr.
    static FrmFind *instance();

    // Continues the search from the editor's current selection in the chosen
    // direction; when nothing more is found, tells the author and sets NewSearch.
    void FindNext();

    // The status panel that says "Replacing..." while Replace All runs.
    void setStatusPanel(QLabel *panel);

    bool newSearch() const { return m_newSearch; }
    // Find options as last read from the check boxes (RichEdit::FindMatchCase,
    // RichEdit::FindWholeWord or 0).
    int caseOption() const { return m_caseOption; }
    int wordOption() const { return m_wordOption; }

private:
    void buildControls();
    void onFindTextChanged(const QString &text);
    void cmdFindNextClick();
    void cmdReplaceClick();
    void cmdReplaceAllClick();
    void readOptions();
    Direction direction() const;

    static QPointer<FrmFind> s_instance;

    QPointer<RichEdit> m_editor;
    QPointer<QLabel> m_statusPanel;
    bool m_newSearch = true;
    int m_caseOption = 0;
    int m_wordOption = 0;

    // Controls, owned by this window as its children.
    QLabel *m_label1 = nullptr;
    QLineEdit *m_txtFind = nullptr;
    QLabel *m_lblReplace = nullptr;
    QLineEdit *m_txtReplace = nullptr;
    QLabel *m_label2 = nullptr;
    QComboBox *m_dCombo = nullptr;
    QCheckBox *m_chkCase = nullptr;
    QCheckBox *m_chkWholeWord = nullptr;
    QPushButton *m_cmdFindNext = nullptr;
    QPushButton *m_cmdClose = nullptr;
    QPushButton *m_cmdReplace = nullptr;
    QPushButton *m_cmdReplaceAll = nullptr;
};

} // namespace sheetsmith
