#include "app/editorcompleter.h"

#include "editor/richedit.h"
#include "inspector/catalogue.h"
#include "preview/pagenamesource.h"
#include "text/completion.h"

#include <QAbstractListModel>
#include <QAbstractItemView>
#include <QCompleter>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QListView>
#include <QScopedValueRollback>
#include <QScrollBar>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace sheetsmith {

namespace {

// The width the popup's rows need. A page's names run to thousands, and measuring a
// row lays its text out: a long list is ranked by the advances of its labels'
// characters, read from the font without laying anything out, and only the widest few
// are measured as the list measures a row.
int rowsWidth(const QAbstractItemView &popup)
{
    constexpr int kMeasuredAll = 64;
    constexpr int kMeasured = 16;
    const QAbstractItemModel &model = *popup.model();
    const int rows = model.rowCount();
    if (rows <= kMeasuredAll)
        return popup.sizeHintForColumn(0);
    const QFontMetrics metrics(popup.font());
    std::vector<int> advances(0x10000, -1); // by UTF-16 unit, read when first met
    std::vector<std::pair<int, int>> ranked; // a label's width without kerning, its row
    ranked.reserve(size_t(rows));
    for (int row = 0; row < rows; ++row) {
        int width = 0;
        for (const QChar c : model.index(row, 0).data(Qt::DisplayRole).toString()) {
            int &advance = advances[c.unicode()];
            if (advance < 0)
                advance = metrics.horizontalAdvance(c);
            width += advance;
        }
        ranked.emplace_back(width, row);
    }
    std::partial_sort(ranked.begin(), ranked.begin() + kMeasured, ranked.end(), std::greater<>());
    int width = 0;
    for (auto it = ranked.begin(); it != ranked.begin() + kMeasured; ++it)
        width = std::max(width, popup.sizeHintForIndex(model.index(it->second, 0)).width());
    return width;
}

} // namespace

// What the popup offers: each entry shown as its label, put in as its name (the
// completer's completion role, Qt::EditRole) and described by its tool tip.
class EditorCompleter::Entries : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    void set(QStringList names, QStringList labels, QStringList descriptions)
    {
        beginResetModel();
        m_names = std::move(names);
        m_labels = std::move(labels);
        m_descriptions = std::move(descriptions);
        endResetModel();
    }
    const QStringList &labels() const { return m_labels.isEmpty() ? m_names : m_labels; }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_names.size()); }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_names.size())
            return {};
        if (role == Qt::EditRole)
            return m_names[index.row()];
        if (role == Qt::DisplayRole)
            return labels()[index.row()];
        if (role == Qt::ToolTipRole)
            return m_descriptions.value(index.row());
        return {};
    }

private:
    QStringList m_names;
    QStringList m_labels;       // empty: the names are shown
    QStringList m_descriptions; // none for keywords
};

EditorCompleter::EditorCompleter(RichEdit &editor, const Catalogue &catalogue, std::function<bool()> enabled,
                                 QObject *parent)
    : QObject(parent), m_editor(editor), m_catalogue(catalogue), m_enabled(std::move(enabled))
{
    m_completer = new QCompleter(this);
    m_model = new Entries(m_completer);
    m_completer->setModel(m_model);
    // The model holds exactly what fits, in the order wanted: the completer filters
    // nothing and sorts nothing.
    m_completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_completer->setModelSorting(QCompleter::UnsortedModel);
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_completer->setWrapAround(false);
    m_completer->setWidget(&m_editor);
    m_completer->popup()->setObjectName(QStringLiteral("LstComplete"));
    // Every row is one line of text in the popup's font: the list takes its rows'
    // size from the first one instead of laying out thousands of page names at each
    // offer.
    if (auto *list = qobject_cast<QListView *>(m_completer->popup()))
        list->setUniformItemSizes(true);
    m_completer->popup()->setAccessibleName(QStringLiteral("Completions"));
    // Installed after the completer's own filter, so this one sees the popup's events
    // first.
    m_completer->popup()->installEventFilter(this);

    connect(m_completer, qOverload<const QString &>(&QCompleter::activated), this, &EditorCompleter::accept);
    connect(m_completer, qOverload<const QModelIndex &>(&QCompleter::highlighted), this, &EditorCompleter::highlighted);
    connect(&m_editor, &RichEdit::keyDown, this, &EditorCompleter::keyDown);
    connect(&m_editor, &RichEdit::textEdited, this, &EditorCompleter::textEdited);
    connect(&m_editor, &RichEdit::selChanged, this, &EditorCompleter::selectionChanged);
}

// The owner disconnects the editor from this object before either goes, in whatever
// order its children are destroyed.
EditorCompleter::~EditorCompleter() = default;

void EditorCompleter::setPageNames(PageNameSource *pages)
{
    m_pages = pages;
    connect(pages, &PageNameSource::pagesRead, this, [this] {
        if (m_waitingAt >= 0 && m_editor.hasFocus() && m_waitingAt == m_editor.selStart()
            && m_waitingLength == m_editor.model().text().size())
            offer(false);
    });
}

bool EditorCompleter::isPopupVisible() const
{
    return m_completer->popup()->isVisible();
}

QStringList EditorCompleter::offered() const
{
    return isPopupVisible() ? m_model->labels() : QStringList();
}

bool EditorCompleter::eventFilter(QObject *watched, QEvent *event)
{
    QAbstractItemView *popup = m_completer->popup();
    if (watched != popup)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        // On X the popup grabs the keyboard and gets every key while it shows. The
        // completer would hand the key to the editor and then hide the popup unless
        // the editor has the application's focus, which no widget has while the
        // window system sends keys to a window Qt holds inactive (focus following the
        // pointer): every second key would close it. Every key goes to the editor
        // here, and the popup follows what the key did there (keyDown, offer).
        QCoreApplication::sendEvent(&m_editor, event);
        if (isPopupVisible() && (!m_editor.isVisible() || m_editor.window()->focusWidget() != &m_editor))
            close(); // the key moved the focus elsewhere
        return true;
    }
    // Hidden by the completer itself (a click outside it): the description goes too.
    if (event->type() == QEvent::Hide)
        emit described(QString());
    return false;
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
        const QString entry = (current.isValid() ? current : m_model->index(0)).data(Qt::EditRole).toString();
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
    QStringList labels;
    QStringList descriptions;
    const bool selector = context.kind == CompletionContext::Element || context.kind == CompletionContext::Class
                          || context.kind == CompletionContext::Id;
    // Keywords for a value not begun yet are offered only right after a chosen name:
    // after a ":" the author typed, Enter must stay a line break. A class or an id is
    // offered right after its "." or "#".
    if (context.word.isEmpty() && !afterName && context.kind != CompletionContext::Class
        && context.kind != CompletionContext::Id) {
        close();
        return;
    }
    if (context.kind == CompletionContext::Property) {
        const auto &names = m_catalogue.PropName;
        entries = PropertyCandidates(QStringList(names.begin(), names.end()), context.word);
        for (const QString &entry : std::as_const(entries)) {
            const auto it = std::find(names.begin(), names.end(), entry);
            descriptions << (it != names.end() ? m_catalogue.PropInfo[size_t(it - names.begin())] : QString());
        }
    } else if (context.kind == CompletionContext::Value) {
        const auto &names = m_catalogue.PropName;
        const auto at = std::find(names.begin(), names.end(), context.property);
        if (at != names.end())
            entries = KeywordCandidates(m_catalogue.PropValues[size_t(at - names.begin())], context.word);
    } else if (selector) {
        pageEntries(context.kind, context.word, entries, labels, descriptions);
    }
    // Nothing left to add: the word typed is already the one entry.
    const bool asWritten = context.kind == CompletionContext::Class || context.kind == CompletionContext::Id;
    if (entries.size() == 1 && (context.kind == CompletionContext::Value || selector)
        && entries.first().compare(context.word, asWritten ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0)
        entries.clear();
    m_waitingAt = -1;
    if (entries.isEmpty()) {
        if (selector && m_pages && m_pages->reading()) {
            m_waitingAt = m_editor.selStart();
            m_waitingLength = model.text().size();
        }
        close();
        return;
    }
    m_model->set(entries, labels, descriptions);
    QAbstractItemView *popup = m_completer->popup();
    QRect at = m_editor.cursorRect();
    popup->ensurePolished();
    at.setWidth(rowsWidth(*popup) + popup->verticalScrollBar()->sizeHint().width() + 8);
    m_completer->complete(at);
    popup->setCurrentIndex(m_model->index(0));
}

void EditorCompleter::pageEntries(int kind, const QString &word, QStringList &names, QStringList &labels,
                                  QStringList &descriptions)
{
    if (!m_pages)
        return;
    const NameKind of = kind == CompletionContext::Element ? NameKind::Element
                        : kind == CompletionContext::Class ? NameKind::Class
                                                           : NameKind::Id;
    // Element names are HTML's, whatever their case; classes and ids match as written.
    const Qt::CaseSensitivity cs = of == NameKind::Element ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const QString what = of == NameKind::Element ? QStringLiteral("Element")
                         : of == NameKind::Class ? QStringLiteral("Class")
                                                 : QStringLiteral("Id");
    for (const NameUse &use : m_pages->names(of)) {
        if (!use.name.startsWith(word, cs))
            continue;
        names << use.name;
        labels << NameUseLabel(use);
        descriptions << QStringLiteral("%1 %2: used %3 %4 in %5")
                              .arg(what, use.name)
                              .arg(use.count)
                              .arg(use.count == 1 ? QStringLiteral("time") : QStringLiteral("times"),
                                   use.pages == 1 ? use.page : QStringLiteral("%1 pages").arg(use.pages));
    }
}

void EditorCompleter::accept(const QString &entry)
{
    if (entry.isEmpty())
        return;
    const TextModel &model = m_editor.model();
    const CompletionContext context = CompletionContextAt(model.text(), model.commentMarkers(), m_editor.selStart());
    if (context.kind == CompletionContext::None)
        return;
    const bool property = context.kind == CompletionContext::Property;
    {
        const QScopedValueRollback<bool> accepting(m_accepting, true);
        // The typed word and what replaces it: one edit, one undo step.
        m_editor.setSelStart(context.wordStart);
        m_editor.setSelLength(context.word.size());
        m_editor.setSelText(entry + (property                                  ? QStringLiteral(": ")
                                     : context.kind == CompletionContext::Value ? QStringLiteral(";")
                                                                                : QString()));
    }
    emit described(QString());
    // The property's keywords, at once: from the event loop, once the completer has
    // finished with the key that chose the name (it closes its popup after telling).
    if (property)
        QMetaObject::invokeMethod(this, [this] { offer(true); }, Qt::QueuedConnection);
}

void EditorCompleter::highlighted(const QModelIndex &entry)
{
    const QString description = entry.data(Qt::ToolTipRole).toString();
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
