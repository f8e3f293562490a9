#include "app/editorinput.h"

#include "editor/colouring.h"
#include "editor/richedit.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

namespace sheetsmith {

EditorInput::EditorInput(RichEdit &editor, QMenu *editMenu, std::function<void(const QString &key)> runCommand,
                         std::function<void(const QString &path)> openFile, QObject *parent)
    : QObject(parent)
    , m_editor(editor)
    , m_editMenu(editMenu)
    , m_runCommand(std::move(runCommand))
    , m_openFile(std::move(openFile))
{
    connect(&editor, &RichEdit::keyDown, this, &EditorInput::keyDown);
    connect(&editor, &RichEdit::mouseUp, this, &EditorInput::mouseUp);
    connect(&editor, &RichEdit::draggedOver, this, &EditorInput::dragOver);
    connect(&editor, &RichEdit::dropped, this, &EditorInput::drop);
}

EditorInput::~EditorInput() = default;

void EditorInput::keyDown(QKeyEvent *event, bool *consumed)
{
    // A key the completion popup took is not the editor's.
    if (*consumed)
        return;
    // The keypad flag says where a key sits, not which modifiers are held.
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if (mods == Qt::ControlModifier && (key == Qt::Key_V || key == Qt::Key_C || key == Qt::Key_X || key == Qt::Key_F)) {
        m_runCommand(key == Qt::Key_V   ? QStringLiteral("Paste")
                     : key == Qt::Key_C ? QStringLiteral("Copy")
                     : key == Qt::Key_X ? QStringLiteral("Cut")
                                        : QStringLiteral("Find"));
        *consumed = true;
    } else if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        // Shift+Tab arrives as Backtab; Tab with any other modifiers indents.
        m_runCommand(mods == Qt::ShiftModifier ? QStringLiteral("Outdent") : QStringLiteral("Indent"));
        *consumed = true;
    }
}

void EditorInput::mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint position)
{
    if (button != Qt::RightButton)
        return;
    const QPoint global = m_editor.viewport()->mapToGlobal(position);
    const std::optional<QuickFix> fix = m_quickFixes ? m_quickFixes(m_editor.charFromPos(position)) : std::nullopt;
    if (!fix) {
        m_editMenu->popup(global);
        return;
    }
    // The fix first, then the Edit menu's own entries; the menu goes when closed.
    auto *menu = new QMenu(&m_editor); // deletes itself when closed
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setObjectName(QStringLiteral("MnuQuickFix"));
    QAction *apply = menu->addAction(fix->caption);
    apply->setObjectName(QStringLiteral("mQuickFix"));
    connect(apply, &QAction::triggered, this, fix->apply);
    menu->addSeparator();
    menu->addActions(m_editMenu->actions());
    menu->popup(global);
}

void EditorInput::dragOver(QDragMoveEvent *event, bool *handled)
{
    const QMimeData *data = event->mimeData();
    const bool ctrl = (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
    if (data->hasUrls()) {
        // A file can only be opened, never moved into the sheet.
        event->setDropAction(Qt::CopyAction);
        event->accept();
        *handled = true;
    } else if (data->hasText()) {
        event->setDropAction(ctrl ? Qt::CopyAction : Qt::MoveAction);
        event->accept();
        m_editor.setSelStart(m_editor.charFromPos(event->position().toPoint()));
        *handled = true;
    }
}

void EditorInput::drop(QDropEvent *event, bool *handled)
{
    const QMimeData *data = event->mimeData();
    // Files dragged from a file manager come as a list of URLs, often with their
    // addresses as text beside it: a list of files is taken as files, never as text.
    if (data->hasUrls() || !data->hasText()) {
        const QList<QUrl> urls = data->urls();
        if (urls.size() == 1 && urls.first().isLocalFile())
            m_openFile(urls.first().toLocalFile());
        event->setDropAction(Qt::CopyAction);
        event->accept();
        *handled = true;
        return;
    }
    const bool ctrl = (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
    event->setDropAction(ctrl ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
    const ColouringScope colouring(m_editor);
    // Text dragged from another program may come without an RTF form: its plain text
    // goes in then, in the colour of the text before it.
    const QByteArray rtf = data->data(QStringLiteral("text/rtf"));
    if (!rtf.isEmpty())
        m_editor.setSelRTF(QString::fromUtf8(rtf));
    else
        m_editor.setSelText(data->text());
    *handled = true;
}

} // namespace sheetsmith
