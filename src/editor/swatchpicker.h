#pragma once

#include "dialogs/cdlgex.h"

#include <QObject>
#include <QtGlobal>

namespace sheetsmith {

class RichEdit;

// What a click on a colour swatch does: the colour dialog opens on the value's colour,
// and OK writes the colour chosen back over exactly the value's characters, in the
// value's own notation (RewriteCssColour), as one undo step. The write is an ordinary
// edit of the editor, not the program's own colouring, so caret tracking, the check
// and the live preview follow it as they follow typing. Cancel, or the colour the value
// already has, changes nothing.
class SwatchPicker : public QObject
{
    Q_OBJECT

public:
    explicit SwatchPicker(RichEdit &editor, QObject *parent = nullptr);

    // Opens the dialog for the value of `length` characters at the CR LF offset;
    // returns whether the text changed.
    bool pick(qsizetype offset, qsizetype length);

private:
    RichEdit &m_editor;
    CdlgEx m_dialog; // keeps the dialog's state between picks
};

} // namespace sheetsmith
