#include "dialogs/scopeddialogseam.h"

#include "dialogs/dialogseam.h"

namespace sheetsmith {

ScopedDialogSeam::ScopedDialogSeam(DialogSeam &seam)
    : m_previous(DialogSeam::s_installed)
{
    DialogSeam::s_installed = &seam;
}

ScopedDialogSeam::~ScopedDialogSeam()
{
    DialogSeam::s_installed = m_previous;
}

} // namespace sheetsmith
