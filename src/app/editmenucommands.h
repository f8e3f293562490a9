#pragma once

class QLabel;
class QWidget;

namespace sheetsmith {

class CaretTracker;
class CommandActions;
class EditCommands;
class RichEdit;
class SettingsStore;

// Adds the commands of the Edit menu, "Undo" through "PrevBlock", on the sheet in
// editor. Indenting and formatting take the tab width from settings as it is when they
// run; a large paste and Format Sheet say in status that they are busy; Format Sheet
// brings the blocks and the tree up to date at once. Find and Replace opens over
// window. Undo and Redo are enabled only while there is something to take back or
// give back.
void addEditMenuCommands(CommandActions &commands, EditCommands &edit, RichEdit &editor, CaretTracker &tracker,
                         const SettingsStore &settings, QLabel *status, QWidget *window);

} // namespace sheetsmith
