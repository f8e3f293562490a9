#pragma once

#include "dialogs/dialogseam.h"

#include <QScopedValueRollback>

namespace sheetsmith {

// Installs a dialog seam for as long as it lives, then puts back the one before it.
class ScopedDialogSeam
{
public:
    explicit ScopedDialogSeam(DialogSeam &seam) : m_install(DialogSeam::s_installed, &seam) {}

private:
    QScopedValueRollback<DialogSeam *> m_install;
};

} // namespace sheetsmith
