#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QCompleter;
class QModelIndex;
class QKeyEvent;

namespace sheetsmith {

class PageNameSource;
class RichEdit;
struct Catalogue;

// Completion from the catalogue while the author types a declaration: after "{" or
// ";" in a rule, letters typed pop up the CSS1 property names that begin with them;
// Enter or Tab puts in the chosen name and ": ", and for a property with keywords
// pops up its keywords at once; a chosen keyword goes in with ";". Esc closes the
// popup and keeps what was typed; typing on goes on as plain typing, and the popup
// follows it or closes. Where it may offer anything is decided by
// CompletionContextAt (text/completion.h). Each accepted entry is one undo step.
// Every key goes to the editor, also while the popup holds the keyboard, and the
// popup follows what it did there.
//
// In a selector it offers the names used in the preview's pages (setPageNames): after
// "." their classes, after "#" their ids, for a word beginning a compound selector
// their element names, each the most used first and shown with its count and page;
// a chosen one goes in as the name alone.
class EditorCompleter : public QObject
{
    Q_OBJECT

public:
    // enabled is asked before each offer, so a change of the setting holds at once.
    // All references must outlive the completer.
    EditorCompleter(RichEdit &editor, const Catalogue &catalogue, std::function<bool()> enabled, QObject *parent);
    ~EditorCompleter() override;

    // The names of the preview's pages, offered in selectors; none without it.
    // A selector word typed while a page was still being read is offered again when
    // the reading comes back, as long as the caret and the text stay as they were.
    void setPageNames(PageNameSource *pages);

    bool isPopupVisible() const;
    // The entries the popup offers now, in its order, as it shows them.
    QStringList offered() const;

signals:
    // The catalogue's description of the highlighted name (for a page's name, where
    // it is used), or empty when the popup closes or a keyword is highlighted.
    void described(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void keyDown(QKeyEvent *event, bool *consumed);
    void textEdited(qsizetype from, qsizetype removed, qsizetype added);
    void selectionChanged();
    // Offers what fits the caret, or closes the popup when nothing does. afterName:
    // a property name has just been chosen, and its keywords are offered before any
    // letter of the value is typed.
    void offer(bool afterName);
    // The page names of a selector context that begin with its word.
    void pageEntries(int kind, const QString &word, QStringList &names, QStringList &labels,
                     QStringList &descriptions);
    void accept(const QString &entry);
    void highlighted(const QModelIndex &entry);
    void close();

    class Entries;

    RichEdit &m_editor;
    const Catalogue &m_catalogue;
    std::function<bool()> m_enabled;
    PageNameSource *m_pages = nullptr;
    Entries *m_model = nullptr;        // owned by the completer
    QCompleter *m_completer = nullptr; // a child of this object
    // The author's last edit was typing at the caret: the next selection change asks
    // for an offer, any other change closes the popup.
    bool m_typed = false;
    bool m_accepting = false;
    // Where a selector's offer found no names while the pages were being read (the
    // caret and the text's length then), or -1.
    qsizetype m_waitingAt = -1;
    qsizetype m_waitingLength = -1;
};

} // namespace sheetsmith
