#pragma once

#include <QScopedValueRollback>
#include <QString>
#include <QVariant>

#include <functional>

class QUrl;
class QWidget;

namespace sheetsmith {

// The control that renders the composed preview page (objectName "WebBrowser1"). The
// program's own is a real browser engine, so the author sees the page as browsers
// show it; tests put a recording view in its place with ScopedPageViewFactory, since
// the engine needs seconds to start.
class PageView
{
public:
    PageView() = default;
    // Inline, so that the engine's module and the program share the class without
    // the module needing symbols of the program.
    virtual ~PageView() = default;

    PageView(const PageView &) = delete;
    PageView &operator=(const PageView &) = delete;

    // The view as a widget; owned by the parent it was created with.
    virtual QWidget *widget() = 0;
    // Loads a local file's URL, or "about:blank".
    virtual void navigate(const QUrl &url) = 0;

    // Runs a script of the program's on the page shown, in a world of its own apart
    // from the page's scripts (they neither see its variables nor can change them;
    // both see the one document). done gets the script's value from the event loop,
    // or an invalid value when there is none (no page, a script error). A view that
    // runs no scripts answers at once with nothing.
    virtual void runScript(const QString &script, std::function<void(const QVariant &)> done)
    {
        Q_UNUSED(script);
        done(QVariant());
    }
    // handler is told each time a page has finished loading: true when it loaded.
    virtual void setLoadHandler(std::function<void(bool ok)> handler) { Q_UNUSED(handler); }

    // How the process that renders the page ended: of itself, with a failure status, by
    // a crash, or killed (as the system does when memory runs out).
    enum class Termination { Normal, Abnormal, Crashed, Killed };
    // handler is told each time the page's process ends; the view then shows no page
    // until it navigates again.
    virtual void setTerminationHandler(std::function<void(Termination status, int exitCode)> handler)
    {
        Q_UNUSED(handler);
    }

    // Makes a view as a child of parent: the installed factory's, else the browser
    // engine's, from its module beside the program (or in the installed library
    // folder). The engine is loaded with its first view, never earlier, so the program
    // starts as fast without the preview as it would without a preview at all.
    static PageView *create(QWidget *parent);
    // A view from the engine module at modulePath. When the module cannot be loaded
    // the view is a notice saying why, so the window still works and the author knows
    // what is missing.
    static PageView *createFromModule(const QString &modulePath, QWidget *parent);
    // Where the engine module is looked for, first match wins.
    static QStringList moduleCandidates();

private:
    friend class ScopedPageViewFactory;
    using Factory = std::function<PageView *(QWidget *parent)>;
    static Factory s_factory;
};

// Installs a view factory for as long as it lives, then puts back the one before it.
class ScopedPageViewFactory
{
public:
    explicit ScopedPageViewFactory(std::function<PageView *(QWidget *parent)> factory)
        : m_install(PageView::s_factory, std::move(factory))
    {
    }

private:
    QScopedValueRollback<PageView::Factory> m_install;
};

// Readies the process for the browser engine; call before the QApplication is made.
// The engine's windows share one OpenGL context with Qt's. Chromium refuses to start
// its sandbox as root (containers and CI machines often run as root), so the sandbox
// is turned off then, and only then.
void prepareBrowserEngine();

} // namespace sheetsmith
