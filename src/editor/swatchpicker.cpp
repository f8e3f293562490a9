#include "editor/swatchpicker.h"

#include "editor/richedit.h"
#include "text/csscolours.h"

namespace sheetsmith {

SwatchPicker::SwatchPicker(RichEdit &editor, QObject *parent) : QObject(parent), m_editor(editor)
{
    connect(&m_editor, &RichEdit::swatchClicked, this, &SwatchPicker::pick);
}

bool SwatchPicker::pick(qsizetype offset, qsizetype length)
{
    const QString value = m_editor.text().mid(offset, length);
    const std::optional<CssColour> colour = ReadCssColour(value, ColourForms::Current);
    if (!colour)
        return false;
    m_dialog.setHOwner(m_editor.window());
    m_dialog.setFlags(CdlgEx::ColourRgbInit | CdlgEx::ColourFullOpen);
    m_dialog.setRGBResult(colour->rgb);
    m_dialog.ShowColor();
    if (m_dialog.cdlError() == QLatin1String("Cancel"))
        return false;
    const std::optional<QString> written = RewriteCssColour(value, m_dialog.RGBResult());
    // The value must still be there: the dialog may have waited while the text changed.
    if (!written || *written == value || m_editor.text().mid(offset, length) != value)
        return false;
    m_editor.setSelStart(offset);
    m_editor.setSelLength(length);
    m_editor.setSelText(*written);
    return true;
}

} // namespace sheetsmith
