#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QCompleter;
class QKeyEvent;
class QStringListModel;

namespace sheetsmith {

class RichEdit;
struct Catalogue;

// Completion from the catalogue while the author types a declaration: after "{" or
// ";" in a rule, letters typed pop up the CSS1 property names that begin with them;
// Enter or Tab puts in the chosen name and ": ", and for a property with keywords
// pops up its keywords at once; a chosen keyword goes in with ";". Esc closes the
// popup and keeps what was typed; typing on goes on as plain typing, and the popup
// follows it or closes. Where it may offer anything is decided by
// CompletionContextAt (text/completion.h). Each accepted entry is one undo step.
class EditorCompleter : public QObject
{
    Q_OBJECT

public:
    // enabled is asked before each offer, so a change of the setting holds at once.
    // All references must outlive the completer.
    EditorCompleter(RichEdit &editor, const Catalogue &catalogue, std::function<bool()> enabled, QObject *parent);
    ~EditorCompleter() override;

    bool isPopupVisible() const;
    // The entries the popup offers now, in its order.
    QStringList offered() const;

signals:
    // The catalogue's description of the highlighted name, or empty when the popup
    // closes or a keyword is highlighted.
    void described(const QString &text);

private:
    void keyDown(QKeyEvent *event, bool *consumed);
    void textEdited(qsizetype from, qsizetype removed, qsizetype added);
    void selectionChanged();
    // Offers what fits the caret, or closes the popup when nothing does. afterName:
    // a property name has just been chosen, and its keywords are offered before any
    // letter of the value is typed.
    void offer(bool afterName);
    void accept(const QString &entry);
    void highlighted(const QString &entry);
    void close();

    RichEdit &m_editor;
    const Catalogue &m_catalogue;
    std::function<bool()> m_enabled;
    QStringListModel *m_model = nullptr; // owned by the completer
    QCompleter *m_completer = nullptr;   // a child of this object
    // The author's last edit was typing at the caret: the next selection change asks
    // for an offer, any other change closes the popup.
    bool m_typed = false;
    bool m_accepting = false;
    // What the popup offers: property names, or the keywords of m_property.
    bool m_offeringValues = false;
    QString m_property;
};

} // namespace sheetsmith
