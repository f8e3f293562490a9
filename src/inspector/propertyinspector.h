#pragma once

#include "blocks/root.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class QComboBox;
class QEvent;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QRect;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace sheetsmith {

class CdlgEx;
class RichEdit;
struct Catalogue;

// The property list's value editors and the font-family picker.
//
// A click on a row's Value cell opens an editor over that cell, chosen by the
// property's value list in the catalogue: the keyword drop-down ComP (a list holding
// "|", whose placeholders <url>, <length>, <percentage> and <color> open the image
// chooser, the length editor FrLength, the percentage editor FrPercent and the colour
// chooser), the font-family picker (TxtFontList, LstFont, TxtFontPreview) for the list
// "<font>", or the free-text box TxtP for anything else. Committing an editor puts its
// text into the cell and writes "name: value;" into the style-sheet text
// (WriteDeclaration): the property's declaration in the block at the caret is
// replaced, or a new one is added.
//
// The editors are children of the list's parent widget, hidden until opened, and
// cover the cell they were opened on (the list's own pixel geometry, so they fit at any
// font); they follow the cell when the list scrolls or is resized. An editor stays
// open until it is committed (Enter, the next mouse press on the list, or
// commitOpenEditor) or cancelled (Esc, or a cancelled colour dialog).
//
// The inspector is a child of the list and watches the list through event filters.
// Every write goes to the row of CurrentCell, the cell the last mouse press hit: a
// press on another row commits the open editor before the new cell is taken.
class PropertyInspector : public QObject
{
    Q_OBJECT

public:
    // Where the last mouse press on the list fell.
    struct Cell
    {
        int x = 0; // in pixels of the list's viewport
        int y = 0;
        int flags = 0; // HitOnItem or HitNowhere
        int item = -1; // 0-based row, -1 when the press hit no row
        int subItem = -1; // 0 Property, 1 Value; -1 when the press hit no row
    };
    enum HitFlag { HitNowhere = 0x01, HitOnItem = 0x0E };

    // lstP is the two-column property list with one row per catalogue entry, in
    // catalogue order; it must have a parent widget, which receives the editors.
    // txtInfo shows the description of a clicked row. docPath gives the open
    // document's full path (empty when untitled), for relative image paths.
    // dialogOwner owns the image and colour dialogs. All must outlive the inspector.
    PropertyInspector(QTreeWidget *lstP, QPlainTextEdit *txtInfo, RichEdit &editor, const Catalogue &catalogue,
                      CdlgEx &dialogs, std::function<QString()> docPath, QWidget *dialogOwner);
    ~PropertyInspector() override;

    // Fills LstFont with the installed font families, then the five generic families
    // at its top, all unchecked. Called once at start-up.
    void fillFontList();

    // Commits whatever editor is open and forgets the current cell, as a mouse press on
    // no row of the list would. For when the style-sheet text receives the focus.
    void commitOpenEditor();

    const Cell &CurrentCell() const { return m_currentCell; }

    // Loads the Value column from a block of the text (nullptr: the caret is in no
    // block): each property the block declares shows its value, in dark red; every
    // other row is emptied and black.
    void showValues(const ItmClass *block);

    // Writes the row of CurrentCell, its name and its Value cell, into the style-sheet
    // text as one undo step (see PlanDeclaration). An empty value writes nothing.
    void WriteDeclaration();

    // The path of file relative to the document docPath (see valuerules.h).
    static QString RelativePath(const QString &docPath, const QString &file);

    // The font-family value made from LstFont's check marks.
    QString FontFamilyList() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class OpenEditor { None, ComP, TxtP, FontPicker, Length, Percent };

    void buildEditors();
    void buildFontPicker();

    // The list's mouse handling: a press commits and takes the new cell, a click
    // (release on the pressed row) shows the row's description and opens its editor.
    void listPressed(QPoint viewportPos, bool overRows);
    void listClicked(QPoint viewportPos);
    bool listKeyPressed(QKeyEvent *event);
    Cell hitTestCell(QPoint viewportPos) const;
    void showInfo(int row);

    // Commits the open editor, if any, into the cell it was opened on.
    void commitEditors();
    void openEditorForCell();
    void openComP(const QString &valueList);
    void openTxtP();
    void openFontPicker();
    void openLength();
    void openPercent();
    void closeEditor();
    void hideEditor(OpenEditor editor);
    void comPActivated(int index);
    void chooseImage();
    void chooseColour();
    bool editorKeyPressed(QObject *watched, QKeyEvent *event);

    // The cell's rectangle in the editors' parent, widened when asked, within the
    // list's viewport; nullopt when there is no cell or it is scrolled out of view.
    std::optional<QRect> cellGeometry(bool widen) const;
    // Puts the open editor over its cell again (after scrolling or resizing).
    void placeOpenEditor();
    void placeOver(QWidget *editor, bool widen);
    void placeFontPicker();
    int twipsToPixelsX(int twips) const;
    int twipsToPixelsY(int twips) const;

    QTreeWidgetItem *currentRow() const;
    QString cellText() const;
    // Sets the Value cell of the current row and its row colour: dark red with a
    // value, black without.
    void setCellText(const QString &text);
    // What committing an editor does: the cell takes the text, and the declaration is
    // written when the text differs from what the cell held.
    void commitValue(const QString &text);

    void fontListChanged();
    void previewFontAt(QPoint viewportPos);

    QPointer<QTreeWidget> m_lstP;
    QPointer<QPlainTextEdit> m_txtInfo;
    RichEdit &m_editor;
    const Catalogue &m_catalogue;
    CdlgEx &m_dialogs;
    std::function<QString()> m_docPath;
    QPointer<QWidget> m_dialogOwner;
    QPointer<QWidget> m_host; // the list's parent, which holds the editors

    // Editors, owned by m_host.
    QPointer<QComboBox> m_comP;
    QPointer<QLineEdit> m_txtP;
    QPointer<QFrame> m_frLength;
    QPointer<QLineEdit> m_txtLength;
    QPointer<QComboBox> m_comLength;
    QPointer<QFrame> m_frPercent;
    QPointer<QLineEdit> m_txtPercent;
    QPointer<QLabel> m_lblPercent;
    QPointer<QLineEdit> m_txtFontList;
    QPointer<QListWidget> m_lstFont;
    QPointer<QLineEdit> m_txtFontPreview;

    Cell m_currentCell;
    OpenEditor m_open = OpenEditor::None;
    // The text ComP opened with, put back when the image chooser is cancelled so that a
    // later commit does not write the placeholder.
    QString m_comPOpenedWith;
    // A left press on the list that a release may complete into a click.
    bool m_leftPressed = false;
    // Set while the inspector commits or writes: focus moves and selection changes it
    // causes itself must not commit again or take a new cell.
    bool m_busy = false;
    bool m_fillingFonts = false;
    // The block list of the text as it is when a declaration is written.
    Root m_writeBlocks;
};

} // namespace sheetsmith
