#pragma once

#include "preview/pageview.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

namespace sheetsmith {

// The live preview of a page: edits of the sheet reach the page shown without a
// reload, the elements the rule at the caret matches are outlined, and an element
// picked in the page names the selectors it matches.
//
// The page composed with the sheet holds it in a style element. The first update after
// a load finds that element by its text and puts the sheet into it and new elements
// beside it, one per piece (SplitSheetChunks); each later update sends only the pieces
// that changed, so the engine parses a few kilobytes again, not the whole sheet. The
// text goes in through the view's script world (live.js). An edit goes out as soon as
// the event loop turns, unless an update is on its way: one script is on its way at a
// time, and the edits made meanwhile go as one update when its answer comes. The sheet
// is read when an update is sent, never before, so the newest text wins. An answer
// that does not come within kAnswerMs counts as none. Nothing is sent while the
// controller is off or paused, or before the page has loaded; it catches up once it
// may. A page that answers that it has no such element (it replaced its own head) is
// left alone until the next load, and so is a page whose process ended
// (pageStopped): what it held is gone, and the page loaded next gets the whole sheet.
class LivePreview : public QObject
{
    Q_OBJECT

public:
    static constexpr int kAnswerMs = 3000;
    static constexpr int kPickPollMs = 100;

    // sheetText gives the editor's whole text. The view must outlive this object, whose
    // load and termination handler it becomes.
    LivePreview(PageView &view, std::function<QString()> sheetText, QObject *parent = nullptr);
    ~LivePreview() override;

    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }
    // While paused (the preview hidden or collapsed) nothing is sent.
    void setPaused(bool paused);

    // The view was sent a page composed with this sheet text; it counts once loaded.
    void pageNavigated(const QString &composedSheet);

    // The sheet changed: an update follows when none is on its way.
    void sheetChanged();
    // Outlines the elements this selector matches; empty: none.
    void showRule(const QString &selector);
    // Starts or ends picking an element among these selectors.
    void setPicking(bool on, const QStringList &selectors = {});
    bool isPicking() const { return m_picking; }

signals:
    // An update reached the page: the engine's own time to restyle it, and the time
    // from sending to the answer, in milliseconds.
    void sheetUpdated(double engineMs, double roundTripMs);
    // The page outlined so many elements (-1: the selector is not one it takes).
    void ruleShown(const QString &selector, int count);
    // Picking ended on an element, which matches these selectors (indexes into the
    // list picking began with), or without one (cancelled).
    void elementPicked(const QList<int> &matched);
    void pickingEnded();
    // The view's page process ended; nothing reaches the page until one loads again.
    void pageStopped(PageView::Termination status, int exitCode);

private:
    void pageLoaded(bool ok);
    void pageTerminated(PageView::Termination status, int exitCode);

    enum class Job { None, Sheet, Rule, Pick, Poll };

    bool maySend() const { return !m_paused && m_loaded && m_job == Job::None; }
    // Sends what is due, the sheet first.
    void sendNext();
    void send(Job job, const QString &call);
    void answered(Job job, quint64 generation, const QVariant &value);
    static QString library();

    PageView &m_view;
    std::function<QString()> m_sheetText;
    bool m_enabled = false;
    bool m_paused = false;
    bool m_loaded = false;
    bool m_hasSheetElement = true;
    // The text of the page's file on disk, and the pieces the page holds now; while the
    // page is fresh from a load it holds the file's text in one element, which the next
    // update must find.
    QString m_composedSheet;
    QStringList m_pageChunks;
    bool m_pageFresh = true;
    // An update went unanswered, so what the page holds is not known.
    bool m_pageUnknown = false;
    bool m_sheetDue = false;
    // The rule wanted outlined, and the one the page shows.
    QString m_rule;
    QString m_shownRule;
    bool m_picking = false;
    bool m_pickDue = false;
    QStringList m_pickSelectors;

    Job m_job = Job::None;
    // Answers carry the generation they were asked in: a page loaded since makes them
    // stale.
    quint64 m_generation = 0;
    // Gathers the edits of one turn of the event loop, and keeps the sending out of the
    // keystroke's own handling.
    QTimer m_soon;
    QTimer m_watchdog;
    QTimer m_poll;
    QElapsedTimer m_sent;
    QString m_lastCall;
    bool m_libraryIn = false;
    QStringList m_sendingChunks;
};

} // namespace sheetsmith
