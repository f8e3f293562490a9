#include "preview/launcher.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QProcess>
#include <QUrl>

namespace sheetsmith {

Launcher *Launcher::s_installed = nullptr;

Launcher::~Launcher() = default;

bool Launcher::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

bool Launcher::startProgram(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

void Launcher::setClipboardText(const QString &text)
{
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
}

Launcher &Launcher::current()
{
    if (s_installed)
        return *s_installed;
    static Launcher desktop;
    return desktop;
}

} // namespace sheetsmith
