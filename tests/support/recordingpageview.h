#pragma once

#include "preview/pageview.h"

#include <QStringList>
#include <QWidget>

#include <memory>

namespace sheetsmith {

// A page view for tests: renders nothing and records every address it was sent to,
// in order. Installed for as long as a RecordingPageViews lives; the views it made
// are reachable through last() while they exist.
class RecordingPageView : public QWidget, public PageView
{
    Q_OBJECT

public:
    explicit RecordingPageView(QWidget *parent);
    ~RecordingPageView() override;

    QWidget *widget() override { return this; }
    void navigate(const QUrl &url) override;

    const QStringList &addresses() const { return m_addresses; }
    QString lastAddress() const { return m_addresses.isEmpty() ? QString() : m_addresses.last(); }

private:
    QStringList m_addresses;
};

class RecordingPageViews
{
public:
    RecordingPageViews();
    ~RecordingPageViews();

    // How many views were made so far.
    int made() const { return m_made; }

private:
    int m_made = 0;
    std::unique_ptr<ScopedPageViewFactory> m_scope;
};

} // namespace sheetsmith
