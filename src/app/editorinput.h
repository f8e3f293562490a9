#pragma once

#include <QObject>

#include <functional>
#include <optional>

class QDragMoveEvent;
class QDropEvent;
class QKeyEvent;
class QMenu;
class QPoint;

namespace sheetsmith {

class RichEdit;

// The editor's own keys, mouse and drops. Ctrl+X, Ctrl+C, Ctrl+V and Ctrl+F run the
// program's Cut, Copy, Paste and Find; Tab indents and Shift+Tab unindents the lines
// of the selection. The right button opens the Edit menu at the pointer. A file
// dropped on the editor is opened as the document (a list of files is taken as files,
// never as text); text dropped on it is inserted at the drop point, as rich text when
// it comes with an RTF form.
class EditorInput : public QObject
{
    Q_OBJECT

public:
    // runCommand runs a command by its key ("Cut", "Copy", "Paste", "Find", "Indent",
    // "Outdent"); openFile opens a dropped file as the document.
    EditorInput(RichEdit &editor, QMenu *editMenu, std::function<void(const QString &key)> runCommand,
                std::function<void(const QString &path)> openFile, QObject *parent);
    ~EditorInput() override;

    // A change the context menu offers first when the right click lands on text that
    // has one: its caption and what it does.
    struct QuickFix
    {
        QString caption;
        std::function<void()> apply;
    };
    // Asked with the text offset under the click.
    void setQuickFixes(std::function<std::optional<QuickFix>(qsizetype offset)> quickFixes)
    {
        m_quickFixes = std::move(quickFixes);
    }

private:
    void keyDown(QKeyEvent *event, bool *consumed);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    void dragOver(QDragMoveEvent *event, bool *handled);
    void drop(QDropEvent *event, bool *handled);

    RichEdit &m_editor;
    QMenu *m_editMenu;
    std::function<void(const QString &)> m_runCommand;
    std::function<void(const QString &)> m_openFile;
    std::function<std::optional<QuickFix>(qsizetype)> m_quickFixes;
};

} // namespace sheetsmith
