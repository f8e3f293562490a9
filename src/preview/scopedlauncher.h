#pragma once

namespace sheetsmith {

class Launcher;

// Installs a launcher for as long as it lives, then puts back the one before it.
class ScopedLauncher
{
public:
    explicit ScopedLauncher(Launcher &launcher);
    ~ScopedLauncher();

    ScopedLauncher(const ScopedLauncher &) = delete;
    ScopedLauncher &operator=(const ScopedLauncher &) = delete;

private:
    Launcher *m_previous;
};

} // namespace sheetsmith
