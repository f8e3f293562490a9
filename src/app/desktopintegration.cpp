#include "app/desktopintegration.h"

#include <QGuiApplication>
#include <QStandardPaths>
#include <QStringList>

namespace sheetsmith {

QString applicationId()
{
    return QStringLiteral(SHEETSMITH_APP_ID);
}

void useIconThemes()
{
    const QString fallback = QString::fromLatin1(FallbackIconTheme);
    QIcon::setFallbackThemeName(fallback);
    QStringList paths = QIcon::themeSearchPaths();
    const QStringList system = QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                                         QStandardPaths::LocateDirectory);
    for (const QString &folder : system) {
        if (!paths.contains(folder))
            paths << folder;
    }
    QIcon::setThemeSearchPaths(paths);
    // With no theme at all Qt looks nowhere, not even in the fallback theme.
    if (QIcon::themeName().isEmpty())
        QIcon::setThemeName(fallback);
}

QIcon applicationIcon()
{
    return QIcon::fromTheme(applicationId(), QIcon(QStringLiteral(":/sheetsmith/") + applicationId()
                                                   + QStringLiteral(".svg")));
}

void setUpDesktopIntegration()
{
    QGuiApplication::setDesktopFileName(applicationId());
    useIconThemes();
    QGuiApplication::setWindowIcon(applicationIcon());
}

} // namespace sheetsmith
