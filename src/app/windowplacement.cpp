#include "app/windowplacement.h"

#include "dialogs/twips.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>

namespace sheetsmith {


void WindowPlacement::restore(const SettingsStore &settings, const QMainWindow &window)
{
    using namespace keys::window;
    m_maximised = settings.read(Section, State) != StateNormal;
    if (m_maximised)
        return;
    const auto value = [&](const QString &key) { return float(SettingsStore::numericValue(settings.read(Section, key))); };
    const int dx = window.logicalDpiX();
    const int dy = window.logicalDpiY();
    QRect r(twipsToPx(value(Left), dx), twipsToPx(value(Top), dy), twipsToPx(value(Width), dx), twipsToPx(value(Height), dy));
    const QSize minimum(twipsToPx(3000, dx), twipsToPx(2000, dy));
    if (r.width() < minimum.width() || r.height() < minimum.height())
        r.setSize(window.size());
    bool onScreen = false;
    for (QScreen *screen : QGuiApplication::screens())
        onScreen = onScreen || screen->availableGeometry().intersects(r);
    if (!onScreen && QGuiApplication::primaryScreen())
        r.moveTopLeft(QGuiApplication::primaryScreen()->availableGeometry().topLeft());
    m_restored = r;
}

void WindowPlacement::show(QMainWindow &window) const
{
    if (m_maximised) {
        // The normal placement behind a maximised window is most of the screen, so
        // un-maximising gives a usable window, also where no window manager maximises.
        if (QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect avail = screen->availableGeometry();
            window.setGeometry(avail.adjusted(avail.width() / 16, avail.height() / 16, -avail.width() / 16,
                                              -avail.height() / 16));
        }
        window.showMaximized();
    } else {
        window.move(m_restored.topLeft());
        window.resize(m_restored.size());
        window.showNormal();
    }
}

void WindowPlacement::save(SettingsStore &settings, const QMainWindow &window)
{
    using namespace keys::window;
    const auto single = [](float v) { return QString::number(v, 'g', 7); };
    const int dx = window.logicalDpiX();
    const int dy = window.logicalDpiY();
    settings.write(Section, Top, single(pxToTwips(window.pos().y(), dy)));
    settings.write(Section, Left, single(pxToTwips(window.pos().x(), dx)));
    settings.write(Section, Width, single(pxToTwips(window.width(), dx)));
    settings.write(Section, Height, single(pxToTwips(window.height(), dy)));
    settings.write(Section, State, window.isMaximized() ? QString(StateMaximised) : QString(StateNormal));
}

} // namespace sheetsmith
