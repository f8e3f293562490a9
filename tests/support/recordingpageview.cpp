#include "support/recordingpageview.h"

#include <QUrl>

namespace sheetsmith {

RecordingPageView::RecordingPageView(QWidget *parent)
    : QWidget(parent)
{
}

RecordingPageView::~RecordingPageView() = default;

void RecordingPageView::navigate(const QUrl &url)
{
    m_addresses << (url.isLocalFile() ? url.toLocalFile() : url.toString());
}

void RecordingPageView::runScript(const QString &script, std::function<void(const QVariant &)> done)
{
    const QString call = script.section(u'\n', -1);
    m_calls << call;
    if (m_answerer)
        done(m_answerer(call));
    else
        m_waiting.push_back(std::move(done));
}

void RecordingPageView::answer(const QVariant &value)
{
    if (m_waiting.empty())
        return;
    const auto done = std::move(m_waiting.front());
    m_waiting.erase(m_waiting.begin());
    done(value);
}

RecordingPageViews::RecordingPageViews()
    : m_scope(std::make_unique<ScopedPageViewFactory>([this](QWidget *parent) -> PageView * {
        ++m_made;
        return new RecordingPageView(parent); // owned by parent
    }))
{
}

RecordingPageViews::~RecordingPageViews() = default;

} // namespace sheetsmith
