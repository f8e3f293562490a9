#pragma once

#include "editor/colourhighlighter.h"
#include "editor/colourlayer.h"
#include "editor/colourswatches.h"
#include "editor/problemmarks.h"
#include "text/colourvalue.h"
#include "editor/rtf.h"
#include "text/textmodel.h"

#include <QPlainTextEdit>
#include <QPoint>
#include <QPointer>
#include <QTextCursor>

#include <functional>
#include <optional>
#include <vector>

namespace sheetsmith {

class ColouringScope;
class UndoGroup;

// The style-sheet editor. It offers its content in the program's text model: one
// string with CR LF breaks and 0-based offsets counting both characters of a break,
// while Qt's document underneath keeps one character per break (TextModel converts).
//
// The CR LF text and its line index are kept up to date from the document's change
// reports, so reading text() and the line operations costs nothing per call.
//
// Colours are a layer beside the text (ColourLayer, painted by ColourHighlighter):
// setting them never edits the document, never marks it modified and never adds an
// undo step. Inserted text takes the colour of the character before it, or the colour
// for new typing set at the caret with an empty selection.
//
// selChanged() is emitted exactly once for each change of the selection (start or
// length) and after each edit of the text, synchronously: at the end of the user's
// event or of the program's operation that caused it, once text() and the line
// operations already describe the new text. Changes made inside a handler of the
// signal are reported by nested emissions.
//
// colouring() marks the program's own changes: it is true while a ColouringScope on
// the editor lives, and caret tracking ignores the selection notifications it sees
// then. A sideways scroll of the view that such a change causes is held until the
// outermost scope ends, and then made for what it adds up to: a caret taken to the end
// of a long line and back does not scroll there and back (each scroll repaints the
// whole view).
class RichEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    enum FindOption { FindWholeWord = 2, FindMatchCase = 4 };

    explicit RichEdit(QWidget *parent = nullptr);
    ~RichEdit() override;

    // The whole text with CR LF breaks. Writing replaces everything, clears the undo
    // history, resets all colours to automatic and puts the caret at 0; any break form
    // (CR LF, LF, CR) is accepted.
    QString text() const { return m_model.text(); }
    void setText(const QString &text);
    const TextModel &model() const { return m_model; }

    // True while the program itself changes the editor's selection, colours or text
    // (a ColouringScope is open on it).
    bool colouring() const { return m_colouring; }

    // Selection in CR LF offsets. setSelStart moves the caret (clamped to the text; an
    // offset between a CR and its LF means the end of that line) and empties the
    // selection; setSelLength selects that many characters from selStart (a break
    // counts 2; an end between CR and LF takes in the whole break; negative is 0).
    qsizetype selStart() const;
    // Where the blinking caret stands: the moving end of a selection, which is its
    // start or its end depending on the direction it was made in.
    qsizetype caretOffset() const;
    void setSelStart(qsizetype offset);
    qsizetype selLength() const;
    void setSelLength(qsizetype length);

    // Replaces `length` characters at each offset (ascending, not overlapping) by
    // `with`, in one edit of the document, as one undo step (or as part of the open
    // UndoGroup's step): the text and the colour layer are brought up to date once, not
    // once per replacement. The characters between keep their colours, and each
    // replacement takes the colour of the character before it. The caret ends after the
    // last replacement.
    void replaceEach(const std::vector<qsizetype> &offsets, qsizetype length, const QString &with);

    QString selText() const;
    // Replaces the selection, or inserts at the caret, as one undo step (or as part of
    // the open UndoGroup's step); the caret ends after the inserted text.
    void setSelText(const QString &text);

    // Colours the selection; with an empty selection, sets the colour of the next
    // typing at the caret (dropped when the caret moves).
    void setSelColor(ColourValue colour);
    // Colour of the character at an offset (a break's two characters share one);
    // kAutoColour outside the text.
    ColourValue colourAt(qsizetype offset) const;
    // Colours the characters from offset on, one colour each (kAutoColour allowed),
    // without moving the selection, with one repaint of the lines touched. A break
    // takes the colour given for its CR; the one given for its LF is not used.
    void setColours(qsizetype offset, const std::vector<ColourValue> &colours);

    // The content as RTF in the line layout of writeRtf. Writing reads it with readRtf
    // and replaces text, colours and font at once; input that is not RTF changes
    // nothing. When the RTF's text equals the current text only colours and font
    // change: the caret, the undo history and the modified flag stay as they are.
    QString textRTF() const;
    void setTextRTF(const QString &rtf);
    // What setTextRTF does with RTF holding this text in these colours and this font
    // (an empty name or a size of 0 keeps the editor's), without the RTF: each
    // character of the text's Qt form (a break is one) takes the palette entry its
    // index names. The indexes are let go once the colour layer holds them.
    void setColouredText(const QString &text, std::vector<quint8> colourIndexes,
                         const std::vector<ColourValue> &palette, const QString &fontName, int fontHalfPoints);
    // The selection as RTF; writing replaces the selection with the RTF's text in its
    // colours as one undo step (input that is not RTF changes nothing).
    QString selRTF() const;
    void setSelRTF(const QString &rtf);

    // Finds `what` by the rule of FindInText (text/words.h) in the editor's text, with
    // its selection as the range when start and end are omitted, and selects the match;
    // returns its offset or -1 (the selection then stays). Options: FindWholeWord,
    // FindMatchCase (else letter case is ignored).
    qsizetype find(const QString &what, std::optional<qsizetype> start = std::nullopt,
                   std::optional<qsizetype> end = std::nullopt, int options = 0);
    // The offsets of every match of `what` in the editor's text (same rule and options
    // as find), each search starting where the match before it ended; nothing selected.
    std::vector<qsizetype> findEach(const QString &what, int options = 0) const;

    // True (the default) hides the selection while the editor has no focus; false keeps
    // it highlighted as when focused.
    void setHideSelection(bool hide);
    bool hideSelection() const { return m_hideSelection; }

    void setEditorFont(const QString &family, double pointSize);
    QString fontName() const { return m_fontName; }
    double fontSize() const { return m_fontSize; }

    // Line operations, answering as an edit control's line messages do (0-based lines,
    // CR LF offsets; a break belongs to the line it ends).
    // Number of lines; an empty text has one.
    int lineCount() const;
    // Offset of a line's first character; -1 means the line of selStart; a line that
    // does not exist gives -1.
    qsizetype lineIndex(int line0) const;
    // Length (without break) of the line holding a character; an offset past the text
    // gives 0; -1 gives the number of unselected characters on the lines the selection
    // touches (with an empty selection, the length of the caret's line).
    qsizetype lineLength(qsizetype charIndex) const;
    // A line's text without its break; empty for a line that does not exist.
    QString lineText(int line0) const;
    // The line holding a character; -1 means selStart; past the end, the last line.
    int lineFromChar(qsizetype charIndex) const;
    // The offset nearest a point of the viewport.
    qsizetype charFromPos(QPoint viewportPos) const;

    // The colour swatches before the colour values on screen (ColourSwatches): hidden
    // until shown, and which notations count as colours.
    void setSwatches(bool shown, ColourForms forms);
    const ColourSwatches &swatches() const { return m_swatches; }
    // The colour value whose swatch lies under a point of the viewport.
    struct SwatchHit
    {
        qsizetype offset = 0; // CR LF
        qsizetype length = 0;
    };
    std::optional<SwatchHit> swatchAt(QPoint viewportPos) const;
    // The square of the swatch before the value at a CR LF offset, in viewport
    // coordinates; empty when the editor shows none there.
    QRect swatchRect(qsizetype offset) const;

    // Asked with the CR LF offset of the character under the pointer for the help its
    // tool tip gives (empty for none).
    void setHoverHelp(std::function<QString(qsizetype)> help) { m_hoverHelp = std::move(help); }
    // What the tool tip says at a point of the viewport: the messages of the problem
    // marks there, then the hover help for the character under the pointer (none over
    // the blank past a line's end), a blank line between; empty when neither says
    // anything.
    QString toolTipAt(QPoint viewportPos) const;

public slots:
    // Qt's multi-level undo and redo, reported as one selection change each.
    void undo();
    void redo();

    // The marks of a check of the text, drawn as wavy underlines with their messages as
    // tool tips (Qt positions); never an edit.
    void setProblemMarks(std::vector<ProblemMarks::Mark> marks)
    {
        m_marks.assign(std::move(marks));
        viewport()->update();
    }
    void replaceProblemMarks(qsizetype qtFrom, qsizetype qtTo, std::vector<ProblemMarks::Mark> marks)
    {
        m_marks.replaceRange(qtFrom, qtTo, std::move(marks));
        viewport()->update();
    }
    // Moves the marks as an edit of the text would (for marks made for an earlier text).
    void followProblemMarks(qsizetype qtPos, qsizetype removed, qsizetype added)
    {
        m_marks.follow(qtPos, removed, added);
        viewport()->update();
    }
    const ProblemMarks &problemMarks() const { return m_marks; }

signals:
    void selChanged();
    // The text changed: `removed` characters at the CR LF offset `from` gave way to
    // `added` others (a whole new text as one change from 0). Sent as soon as text() and
    // the line operations describe the new text, before selChanged.
    void textEdited(qsizetype from, qsizetype removed, qsizetype added);
    // Before the editor acts on a key; a handler sets *consumed to swallow the key.
    void keyDown(QKeyEvent *event, bool *consumed);
    // After a mouse button is released; position in viewport coordinates.
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    void focusGained();
    // A drag of the selection starts; the data holds it as plain text and as RTF.
    void dragStarting(QMimeData *data);
    // A drag enters or moves over the editor; a handler that sets *handled decides the
    // drop action itself, and the editor then does nothing.
    void draggedOver(QDragMoveEvent *event, bool *handled);
    // A drop on the editor; a handler that sets *handled has inserted what it wanted,
    // and the editor then does nothing more (except, for a move of its own selection,
    // removing the text where it came from).
    void dropped(QDropEvent *event, bool *handled);
    // A colour value's swatch was clicked (pressed and released on it): the value's CR
    // LF offset and length. The click does not move the caret.
    void swatchClicked(qsizetype offset, qsizetype length);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    // Groups the selection notifications of one operation or event into one.
    class NotifyScope;
    friend class NotifyScope;
    friend class ColouringScope;
    friend class UndoGroup;

    // Opens an edit block of Qt's document for one program edit: the first edit made
    // while an UndoGroup lives starts the group's undo step, the later ones join it.
    // Each edit still ends its block at once, so the document reports every change as
    // it happens and text() follows it.
    void beginProgramEdit(QTextCursor &cursor);
    void endProgramEdit(QTextCursor &cursor);

    struct TypingColour
    {
        qsizetype qtPosition;
        ColourValue colour;
    };

    void onContentsChange(int position, int removed, int added);
    void releaseHeldScroll();
    void onCursorOrSelectionChanged();
    void rebuildFromDocument();
    void flushSelectionChange();
    ColourValue insertedColour(qsizetype qtPosition) const;

    void replaceAll(const QString &text, bool coloured);
    // Inserts text over the selection as one undo step; returns the Qt range inserted.
    std::pair<qsizetype, qsizetype> insertOverSelection(const QString &text);
    void insertRtfContent(const RtfContent &content);
    void selectOffsets(qsizetype from, qsizetype to);
    qsizetype qtEndPosition(qsizetype offset) const;
    std::vector<ColourValue> crLfColours(qsizetype qtFrom, qsizetype qtTo) const;
    // The colours of the layer changed (everywhere, or in a range of Qt positions): the
    // editor paints them anew where they are on screen.
    void repaintColours();
    void repaintColours(qsizetype qtFrom, qsizetype qtTo);
    int blocksOnScreen() const;
    // Calls visit for each swatch square on screen, in viewport coordinates.
    // Only the blocks that meet `within` (the whole viewport when it is null) are looked at.
    void forEachSwatchOnScreen(const std::function<void(const QRect &, const ColourSwatches::Swatch &)> &visit,
                               const QRect &within = QRect()) const;
    // The Qt position of the character drawn under a point of the viewport, or -1.
    qsizetype qtCharAt(QPoint viewportPos) const;
    void applyFont();
    void updateSelectionPalette();

    TextModel m_model;
    ColourLayer m_colours;
    ProblemMarks m_marks;
    ColourSwatches m_swatches{m_model};
    ColourHighlighter m_highlighter;
    std::function<QString(qsizetype)> m_hoverHelp;
    // The swatch a left button went down on; a release on it is a click.
    std::optional<SwatchHit> m_swatchPressed;
    // The colour and mark layers' revisions and the blocks whose layouts were last given colours.
    quint64 m_formattedRevision = ~quint64(0);
    int m_formattedFirst = 0;
    int m_formattedCount = 0;
    std::optional<TypingColour> m_typingColour;

    // Set while the whole content is replaced: the document's change reports are
    // ignored and the model is rebuilt once at the end.
    bool m_replacingAll = false;
    int m_notifyDepth = 0;
    bool m_textChanged = false;
    qsizetype m_notifiedStart = 0;
    qsizetype m_notifiedLength = 0;

    bool m_colouring = false;
    int m_heldScrollX = 0; // sideways scroll held while colouring()
    bool m_hideSelection = true;
    QString m_fontName;
    double m_fontSize = 10.0;

    // The open UndoGroups, and whether their step holds an edit yet.
    int m_undoGroupDepth = 0;
    bool m_undoGroupStarted = false;
    int m_undoStepsBefore = 0;

    bool m_inMouseMove = false;
    // The selection being dragged, kept as a cursor so that it follows edits.
    mutable QTextCursor m_dragSource;
};

// Marks the changes made to an editor while it lives as the program's own: the
// editor's colouring() is true from construction to destruction and then as it was
// before, so scopes nest and an inner one never ends an outer one early.
class ColouringScope
{
public:
    explicit ColouringScope(RichEdit &editor) : m_editor(editor), m_previous(editor.m_colouring)
    {
        editor.m_colouring = true;
    }
    ~ColouringScope()
    {
        m_editor.m_colouring = m_previous;
        if (!m_previous)
            m_editor.releaseHeldScroll();
    }
    ColouringScope(const ColouringScope &) = delete;
    ColouringScope &operator=(const ColouringScope &) = delete;

private:
    RichEdit &m_editor;
    bool m_previous;
};

// Makes every change the program makes to an editor's text while it lives one undo
// step, which one Undo takes back whole and one Redo gives back whole: a command that
// edits in several places (Replace All, a drop that moves text) is one step like a
// command that edits once. Groups nest; the outermost one closes the step. A group in
// which nothing changed adds no step, and typing before or after it stays apart.
class UndoGroup
{
public:
    explicit UndoGroup(RichEdit &editor) : m_editor(&editor)
    {
        if (m_editor->m_undoGroupDepth++ == 0)
            m_editor->m_undoGroupStarted = false;
    }
    ~UndoGroup()
    {
        if (m_editor)
            --m_editor->m_undoGroupDepth;
    }
    UndoGroup(const UndoGroup &) = delete;
    UndoGroup &operator=(const UndoGroup &) = delete;

private:
    // Watched: a command may end with the editor gone (the window closed under it).
    QPointer<RichEdit> m_editor;
};

} // namespace sheetsmith
