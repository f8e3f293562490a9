#include "preview/scopedlauncher.h"

#include "preview/launcher.h"

namespace sheetsmith {

ScopedLauncher::ScopedLauncher(Launcher &launcher)
    : m_previous(Launcher::s_installed)
{
    Launcher::s_installed = &launcher;
}

ScopedLauncher::~ScopedLauncher()
{
    Launcher::s_installed = m_previous;
}

} // namespace sheetsmith
