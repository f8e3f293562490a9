#pragma once

#include "preview/pageview.h"

#include <QStringList>
#include <QWidget>

#include <memory>
#include <vector>

namespace sheetsmith {

// A page view for tests: renders nothing and records every address it was sent to,
// in order, and every script it was asked to run, each waiting for the test to answer
// it (answer) or answered at once by an answerer the test installs. Installed for as
// long as a RecordingPageViews lives.
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

    void runScript(const QString &script, std::function<void(const QVariant &)> done) override;
    void setLoadHandler(std::function<void(bool ok)> handler) override { m_loadHandler = std::move(handler); }

    // The scripts run so far, each as its last line (the call after the library).
    const QStringList &calls() const { return m_calls; }
    // Drops the record of the addresses and scripts so far (a long session keeps none).
    void forgetCalls()
    {
        m_addresses.clear();
        m_calls.clear();
    }
    // Scripts waiting for an answer.
    int waiting() const { return int(m_waiting.size()); }
    // Answers the oldest waiting script.
    void answer(const QVariant &value);
    // From now on every script is answered at once with what answerer gives its call.
    void setAnswerer(std::function<QVariant(const QString &call)> answerer) { m_answerer = std::move(answerer); }
    // Tells the view's load handler that a page finished loading.
    void finishLoading(bool ok = true)
    {
        if (m_loadHandler)
            m_loadHandler(ok);
    }

private:
    QStringList m_addresses;
    QStringList m_calls;
    std::vector<std::function<void(const QVariant &)>> m_waiting;
    std::function<QVariant(const QString &)> m_answerer;
    std::function<void(bool)> m_loadHandler;
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
