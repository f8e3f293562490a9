// The browser engine's page view, built as a module of its own that the program loads
// the first time the preview window opens. The engine's libraries are large: linking
// them into the program would make every start slower and bigger, preview or not.

#include "preview/pageview.h"

#include <QPointer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace {

class EnginePageView : public QWebEngineView, public sheetsmith::PageView
{
public:
    explicit EnginePageView(QWidget *parent)
        : QWebEngineView(parent)
    {
    }
    QWidget *widget() override { return this; }
    void navigate(const QUrl &url) override { setUrl(url); }

    void runScript(const QString &script, std::function<void(const QVariant &)> done) override
    {
        // The program's world: the page's own scripts cannot reach what runs here.
        page()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                              [done = std::move(done)](const QVariant &value) { done(value); });
    }
    void setLoadHandler(std::function<void(bool ok)> handler) override
    {
        disconnect(m_loaded);
        m_loaded = connect(this, &QWebEngineView::loadFinished, this, [handler = std::move(handler)](bool ok) {
            handler(ok);
        });
    }

    void setTerminationHandler(std::function<void(Termination status, int exitCode)> handler) override
    {
        disconnect(m_terminated);
        using Status = QWebEnginePage::RenderProcessTerminationStatus;
        m_terminated = connect(this, &QWebEngineView::renderProcessTerminated, this,
                               [handler = std::move(handler)](Status status, int exitCode) {
                                   handler(termination(status), exitCode);
                               });
    }

private:
    static Termination termination(QWebEnginePage::RenderProcessTerminationStatus status)
    {
        switch (status) {
        case QWebEnginePage::NormalTerminationStatus:
            return Termination::Normal;
        case QWebEnginePage::AbnormalTerminationStatus:
            return Termination::Abnormal;
        case QWebEnginePage::CrashedTerminationStatus:
            return Termination::Crashed;
        case QWebEnginePage::KilledTerminationStatus:
            return Termination::Killed;
        }
        return Termination::Abnormal;
    }

    QMetaObject::Connection m_loaded;
    QMetaObject::Connection m_terminated;
};

} // namespace

extern "C" Q_DECL_EXPORT sheetsmith::PageView *sheetsmithCreatePageView(QWidget *parent)
{
    return new EnginePageView(parent); // owned by parent
}
