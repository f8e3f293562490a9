#pragma once

#include <QString>
#include <QStringList>

class QUrl;

namespace sheetsmith {

// The one way out of the editor to other programs: the desktop's handler for web and
// mail addresses, programs started as their own processes, and the clipboard. The
// program asks current(); tests install a recording launcher with ScopedLauncher so
// that nothing is started and the clipboard is left alone.
//
// The default implementations hand the work to the desktop. None of them reports a
// failure to the author: the callers know what was attempted and say so.
class Launcher
{
public:
    Launcher() = default;
    virtual ~Launcher();

    Launcher(const Launcher &) = delete;
    Launcher &operator=(const Launcher &) = delete;

    // Opens a web or mail address with the desktop's default handler. False when no
    // handler could be started (no browser or mail program set up).
    virtual bool openUrl(const QUrl &url);
    // Starts a program as a detached process with the arguments as they are: no shell
    // reads them, so blanks and quotes in a path need no escaping. False when the
    // program could not be started.
    virtual bool startProgram(const QString &program, const QStringList &arguments);
    // Replaces the clipboard's text.
    virtual void setClipboardText(const QString &text);

    // The installed launcher, or the one that uses the desktop.
    static Launcher &current();

private:
    friend class ScopedLauncher;
    static Launcher *s_installed;
};

} // namespace sheetsmith
