#pragma once

namespace sheetsmith {

class DialogSeam;

// Installs a dialog seam for as long as it lives, then puts back the one before it.
class ScopedDialogSeam
{
public:
    explicit ScopedDialogSeam(DialogSeam &seam);
    ~ScopedDialogSeam();

    ScopedDialogSeam(const ScopedDialogSeam &) = delete;
    ScopedDialogSeam &operator=(const ScopedDialogSeam &) = delete;

private:
    DialogSeam *m_previous;
};

} // namespace sheetsmith
