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

RecordingPageViews::RecordingPageViews()
    : m_scope(std::make_unique<ScopedPageViewFactory>([this](QWidget *parent) -> PageView * {
        ++m_made;
        return new RecordingPageView(parent); // owned by parent
    }))
{
}

RecordingPageViews::~RecordingPageViews() = default;

} // namespace sheetsmith
