#pragma once

#include "editor/richedit.h"
#include "text/lines.h"

namespace sheetsmith {

// The line queries of text/lines.h on the editor itself, reading its text model and
// caret. The caret is where the cursor blinks, the moving end of a selection.
inline qsizetype LineLength(const RichEdit &editor, qsizetype charIndex) { return LineLength(editor.model(), charIndex); }
inline int CaretLine(const RichEdit &editor) { return CaretLine(editor.model(), editor.caretOffset()); }
inline qsizetype CaretColumn(const RichEdit &editor) { return CaretColumn(editor.model(), editor.caretOffset()); }
inline int LineOfChar(const RichEdit &editor, qsizetype charIndex) { return LineOfChar(editor.model(), charIndex); }
inline qsizetype LineStart(const RichEdit &editor, int line1) { return LineStart(editor.model(), line1); }
inline int LineCount(const RichEdit &editor) { return LineCount(editor.model()); }
inline QString LineText(const RichEdit &editor, int line1) { return LineText(editor.model(), line1); }

} // namespace sheetsmith
