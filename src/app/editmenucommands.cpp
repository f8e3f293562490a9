#include "app/editmenucommands.h"

#include "app/carettracker.h"
#include "app/commandactions.h"
#include "blocks/editcommands.h"
#include "blocks/frmfind.h"
#include "dialogs/busyscope.h"
#include "editor/richedit.h"
#include "settings/settingsstore.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

#include <optional>

namespace sheetsmith {

namespace {

// A paste of this many characters or more says that it is busy.
constexpr qsizetype kLargePaste = 1'000'000;

} // namespace

void addEditMenuCommands(CommandActions &commands, EditCommands &edit, RichEdit &editor, CaretTracker &tracker,
                         const SettingsStore &settings, QLabel *status, QWidget *window)
{
    RichEdit *text = &editor;
    commands.add({
        {"Undo", [text] { text->undo(); }},
        {"Redo", [text] { text->redo(); }},
        {"Cut", [&edit] { edit.Cut(); }},
        {"Copy", [&edit] { edit.Copy(); }},
        {"Paste",
         [&edit, status] {
             // A paste of megabytes takes a while to lay out.
             const QClipboard *clipboard = QGuiApplication::clipboard();
             std::optional<BusyScope> busy;
             if (clipboard && clipboard->text().size() >= kLargePaste)
                 busy.emplace(status, QStringLiteral("Pasting..."));
             edit.Paste();
         }},
        {"SelectAll", [&edit] { edit.SelectAll(); }},
        {"Find", [text, status, window] { FrmFind::showFor(window, *text)->setStatusPanel(status); }},
        {"Indent", [&edit, &settings] { edit.Indent(settings.tabWidth()); }},
        {"Outdent", [&edit, &settings] { edit.Unindent(settings.tabWidth()); }},
        {"Comment", [&edit] { edit.Comment(); }},
        {"Format",
         [&edit, &settings, &tracker, text, status] {
             {
                 const BusyScope busy(status, QStringLiteral("Formatting..."));
                 if (!edit.Format(settings.tabWidth()))
                     return;
                 // The blocks and the tree follow at once: every line may have moved.
                 tracker.refresh();
             }
             text->ensureCursorVisible();
         }},
        {"NextBlock", [&edit] { edit.NextBlock(); }},
        {"PrevBlock", [&edit] { edit.PreviousBlock(); }},
    });

    QAction *undo = commands.action(QStringLiteral("Undo"));
    QAction *redo = commands.action(QStringLiteral("Redo"));
    undo->setEnabled(false);
    redo->setEnabled(false);
    QObject::connect(text, &QPlainTextEdit::undoAvailable, undo, &QAction::setEnabled);
    QObject::connect(text, &QPlainTextEdit::redoAvailable, redo, &QAction::setEnabled);
}

} // namespace sheetsmith
