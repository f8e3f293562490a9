#pragma once

#include "preview/launcher.h"

#include <QScopedValueRollback>

namespace sheetsmith {

// Installs a launcher for as long as it lives, then puts back the one before it.
class ScopedLauncher
{
public:
    explicit ScopedLauncher(Launcher &launcher) : m_install(Launcher::s_installed, &launcher) {}

private:
    QScopedValueRollback<Launcher *> m_install;
};

} // namespace sheetsmith
