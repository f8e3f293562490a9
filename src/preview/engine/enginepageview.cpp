// The browser engine's page view, built as a module of its own that the program loads
// the first time the preview window opens. The engine's libraries are large: linking
// them into the program would make every start slower and bigger, preview or not.

#include "preview/pageview.h"

#include <QUrl>
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
};

} // namespace

extern "C" Q_DECL_EXPORT sheetsmith::PageView *sheetsmithCreatePageView(QWidget *parent)
{
    return new EnginePageView(parent); // owned by parent
}
