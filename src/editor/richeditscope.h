#pragma once

// For the editor's own source files: the scope that holds back the editor's selection
// notification while a programmatic change runs, and sends one at its end.

#include "editor/richedit.h"

namespace sheetsmith {

class RichEdit::NotifyScope
{
public:
    explicit NotifyScope(RichEdit &edit) : m_edit(edit) { ++m_edit.m_notifyDepth; }
    ~NotifyScope()
    {
        if (--m_edit.m_notifyDepth == 0)
            m_edit.flushSelectionChange();
    }
    NotifyScope(const NotifyScope &) = delete;
    NotifyScope &operator=(const NotifyScope &) = delete;

private:
    RichEdit &m_edit;
};

} // namespace sheetsmith
