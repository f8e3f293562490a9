#include "app/editorcompleter.h"

#include "editor/richedit.h"
#include "inspector/catalogue.h"
#include "text/completion.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStringListModel>

#include <algorithm>
#include <utility>

namespace sheetsmith {

EditorCompleter::EditorCompleter(RichEdit &editor, const Catalogue &catalogue, std::function<bool()> enabled,
                                 QObject *parent)
    : QObject(parent), m_editor(editor), m_catalogue(catalogue), m_enabled(std::move(enabled))
{
    m_completer = new QCompleter(this);
    m_model = new QStringListModel(m_completer);
    m_completer->setModel(m_model);
    // The model holds exactly what fits, in the order wanted: the completer filters
    // nothing and sorts nothing.
    m_completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_completer->setModelSorting(QCompleter::UnsortedModel);
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_completer->setWrapAround(false);
    m_completer->setWidget(&m_editor);
    m_completer->popup()->setObjectName(QStringLiteral("LstComplete"));
    m_completer->popup()->setAccessibleName(QStringLiteral("Completions"));

    connect(m_completer, qOverload<const QString &>(&QCompleter::activated), this, &EditorCompleter::accept);
    connect(m_completer, qOverload<const QString &>(&QCompleter::highlighted), this, &EditorCompleter::highlighted);
    connect(&m_editor, &RichEdit::keyDown, this, &EditorCompleter::keyDown);
    connect(&m_editor, &RichEdit::textEdited, this, &EditorCompleter::textEdited);
    connect(&m_editor, &RichEdit::selChanged, this, &EditorCompleter::selectionChanged);
}

// The owner disconnects the editor from this object before either goes, in whatever
// order its children are destroyed.
EditorCompleter::~EditorCompleter() = default;

bool EditorCompleter::isPopupVisible() const
{
    return m_completer->popup()->isVisible();
}

QStringList EditorCompleter::offered() const
{
    return isPopupVisible() ? m_model->stringList() : QStringList();
}

void EditorCompleter::keyDown(QKeyEvent *event, bool *consumed)
{
    if (*consumed || !isPopupVisible())
        return;
    // The popup normally has these keys first; when they reach the editor instead,
    // they still work the popup and never the text.
    QAbstractItemView *popup = m_completer->popup();
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab: {
        const QModelIndex current = popup->currentIndex();
        const QString entry = (current.isValid() ? current : m_model->index(0)).data().toString();
        close();
        accept(entry);
        *consumed = true;
        break;
    }
    case Qt::Key_Escape:
        close();
        *consumed = true;
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const int rows = m_model->rowCount();
        const int step = event->key() == Qt::Key_Up ? -1 : event->key() == Qt::Key_Down ? 1
                         : event->key() == Qt::Key_PageUp ? -8 : 8;
        const int row = std::clamp(popup->currentIndex().row() + step, 0, rows - 1);
        popup->setCurrentIndex(m_model->index(row));
        *consumed = true;
        break;
    }
    default:
        break;
    }
}

void EditorCompleter::textEdited(qsizetype from, qsizetype removed, qsizetype added)
{
    if (m_accepting || m_editor.colouring())
        return;
    // Typing a character asks for an offer, and deleting one while the popup is open
    // narrows it again; a paste, an undo or a command's edit closes it.
    m_typed = (added == 1 && removed == 0) || (added == 0 && removed == 1 && isPopupVisible());
    Q_UNUSED(from);
}

void EditorCompleter::selectionChanged()
{
    if (m_accepting)
        return;
    const bool typed = std::exchange(m_typed, false);
    if (!typed) {
        if (isPopupVisible())
            close();
        return;
    }
    offer(false);
}

void EditorCompleter::offer(bool afterName)
{
    if (!m_enabled() || m_editor.selLength() != 0) {
        close();
        return;
    }
    const TextModel &model = m_editor.model();
    const CompletionContext context = CompletionContextAt(model.text(), model.commentMarkers(), m_editor.selStart());
    QStringList entries;
    // Keywords for a value not begun yet are offered only right after a chosen name:
    // after a ":" the author typed, Enter must stay a line break.
    if (context.word.isEmpty() && !afterName) {
        close();
        return;
    }
    QStringList names(m_catalogue.PropName.begin(), m_catalogue.PropName.end());
    if (context.kind == CompletionContext::Property) {
        entries = PropertyCandidates(names, context.word);
    } else if (context.kind == CompletionContext::Value) {
        const qsizetype at = names.indexOf(context.property);
        if (at >= 0)
            entries = KeywordCandidates(m_catalogue.PropValues[size_t(at)], context.word);
    }
    // Nothing left to add: the word typed is already the one entry.
    if (entries.size() == 1 && entries.first().compare(context.word, Qt::CaseInsensitive) == 0
        && context.kind == CompletionContext::Value)
        entries.clear();
    if (entries.isEmpty()) {
        close();
        return;
    }
    m_offeringValues = context.kind == CompletionContext::Value;
    m_property = context.property;
    m_model->setStringList(entries);
    QAbstractItemView *popup = m_completer->popup();
    QRect at = m_editor.cursorRect();
    at.setWidth(popup->sizeHintForColumn(0) + popup->verticalScrollBar()->sizeHint().width() + 8);
    m_completer->complete(at);
    popup->setCurrentIndex(m_model->index(0));
}

void EditorCompleter::accept(const QString &entry)
{
    if (entry.isEmpty())
        return;
    const TextModel &model = m_editor.model();
    const CompletionContext context = CompletionContextAt(model.text(), model.commentMarkers(), m_editor.selStart());
    if (context.kind == CompletionContext::None)
        return;
    const bool value = context.kind == CompletionContext::Value;
    {
        const QScopedValueRollback<bool> accepting(m_accepting, true);
        // The typed word and what replaces it: one edit, one undo step.
        m_editor.setSelStart(context.wordStart);
        m_editor.setSelLength(context.word.size());
        m_editor.setSelText(entry + (value ? QStringLiteral(";") : QStringLiteral(": ")));
    }
    emit described(QString());
    // The property's keywords, at once: from the event loop, once the completer has
    // finished with the key that chose the name (it closes its popup after telling).
    if (!value)
        QMetaObject::invokeMethod(this, [this] { offer(true); }, Qt::QueuedConnection);
}

void EditorCompleter::highlighted(const QString &entry)
{
    QString description;
    if (!m_offeringValues) {
        const auto &names = m_catalogue.PropName;
        const auto it = std::find(names.begin(), names.end(), entry);
        if (it != names.end())
            description = m_catalogue.PropInfo[size_t(it - names.begin())];
    }
    m_completer->popup()->setToolTip(description);
    emit described(description);
}

void EditorCompleter::close()
{
    if (isPopupVisible())
        m_completer->popup()->hide();
    emit described(QString());
}

} // namespace sheetsmith
