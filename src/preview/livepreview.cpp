#include "preview/livepreview.h"

#include "preview/pageview.h"
#include "text/sheetchunks.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QPointer>

namespace sheetsmith {

namespace {

// A string as a script literal: JSON's quoting, which is the script's own.
QString literal(const QString &text)
{
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

QString literal(const QStringList &texts)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(texts)).toJson(QJsonDocument::Compact));
}

// What a script without the library answers when the page has none.
constexpr QLatin1String kNoLibrary("sheetsmith: no library");

} // namespace

LivePreview::LivePreview(PageView &view, std::function<QString()> sheetText, QObject *parent)
    : QObject(parent), m_view(view), m_sheetText(std::move(sheetText))
{
    m_soon.setSingleShot(true);
    m_soon.setInterval(0);
    connect(&m_soon, &QTimer::timeout, this, [this] {
        m_sheetDue = true;
        sendNext();
    });
    m_watchdog.setSingleShot(true);
    m_watchdog.setInterval(kAnswerMs);
    connect(&m_watchdog, &QTimer::timeout, this, [this] {
        // No answer: the page went, or hangs. What was sent counts as not done.
        const Job job = std::exchange(m_job, Job::None);
        if (job == Job::Sheet) {
            // It may still arrive, so the pieces the page holds are not known: the next
            // update replaces them all.
            m_sheetDue = true;
            m_pageUnknown = true;
        }
        ++m_generation;
        sendNext();
    });
    m_view.setLoadHandler([alive = QPointer<LivePreview>(this)](bool ok) {
        if (alive)
            alive->pageLoaded(ok);
    });
    m_view.setTerminationHandler([alive = QPointer<LivePreview>(this)](PageView::Termination status, int exitCode) {
        if (alive)
            alive->pageTerminated(status, exitCode);
    });
    m_poll.setInterval(kPickPollMs);
    connect(&m_poll, &QTimer::timeout, this, [this] {
        if (maySend())
            send(Job::Poll, QStringLiteral("__sheetsmith.takePick()"));
    });
}

LivePreview::~LivePreview() = default;

QString LivePreview::library()
{
    static const QString text = [] {
        QFile file(QStringLiteral(":/sheetsmith/live.js"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }();
    return text;
}

void LivePreview::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    if (!on) {
        // The page keeps the last text it was given; the outline and picking go.
        m_soon.stop();
        m_sheetDue = false;
        m_rule.clear();
        if (m_picking)
            setPicking(false);
    } else {
        m_sheetDue = true;
    }
    sendNext();
}

void LivePreview::setPaused(bool paused)
{
    m_paused = paused;
    if (!paused)
        sendNext();
}

void LivePreview::pageNavigated(const QString &composedSheet)
{
    m_loaded = false;
    m_libraryIn = false;
    m_hasSheetElement = true;
    m_composedSheet = composedSheet;
    m_shownRule.clear();
    ++m_generation;
    m_job = Job::None;
    m_watchdog.stop();
    if (m_picking)
        m_pickDue = true;
}

void LivePreview::pageLoaded(bool ok)
{
    m_loaded = ok;
    m_libraryIn = false;
    if (!ok)
        return;
    // Whatever loaded it (the program, or the page itself), the page shows its file.
    m_pageChunks = QStringList{m_composedSheet};
    m_pageFresh = true;
    m_pageUnknown = false;
    // The page shows the text it was composed with; anything newer follows at once.
    m_sheetDue = true;
    sendNext();
}

void LivePreview::pageTerminated(PageView::Termination status, int exitCode)
{
    // Like a page on its way: unloaded, its answers stale, until the next load, which
    // starts from the text the page is composed with.
    m_loaded = false;
    m_libraryIn = false;
    m_shownRule.clear();
    ++m_generation;
    m_job = Job::None;
    m_watchdog.stop();
    if (m_picking) {
        // The page that listened for the pick is gone.
        m_picking = false;
        m_pickDue = false;
        m_poll.stop();
        emit pickingEnded();
    }
    emit pageStopped(status, exitCode);
}

void LivePreview::sheetChanged()
{
    // Not due before the timer: a caret move in the same keystroke sends what is due at
    // once, and the sheet must not go from inside the keystroke's handling.
    if (m_enabled && !m_soon.isActive())
        m_soon.start();
}

void LivePreview::showRule(const QString &selector)
{
    m_rule = m_enabled ? selector : QString();
    sendNext();
}

void LivePreview::setPicking(bool on, const QStringList &selectors)
{
    const bool wasPicking = m_picking;
    m_picking = on && m_enabled;
    m_pickSelectors = selectors;
    m_pickDue = m_picking || wasPicking;
    if (m_picking)
        m_poll.start();
    else
        m_poll.stop();
    sendNext();
}

void LivePreview::sendNext()
{
    if (!maySend())
        return;
    if (m_enabled && m_sheetDue && m_hasSheetElement) {
        m_sheetDue = false;
        const QStringList chunks = ResplitSheetChunks(m_pageChunks, m_sheetText());
        ChunkSplice splice = DiffChunks(m_pageChunks, chunks);
        if (m_pageUnknown)
            splice = ChunkSplice{0, -1, chunks}; // -1: every piece the page holds
        if (!splice.isEmpty()) {
            m_sendingChunks = chunks;
            // Concatenated, not formatted: a sheet's text may hold "%1".
            send(Job::Sheet, QStringLiteral("__sheetsmith.setSheet(")
                                 + (m_pageFresh ? literal(m_composedSheet) : QStringLiteral("null")) + u','
                                 + QString::number(splice.from) + u',' + QString::number(splice.removed) + u','
                                 + literal(splice.inserted) + u')');
            return;
        }
    }
    if (m_pickDue) {
        m_pickDue = false;
        send(Job::Pick, m_picking ? QStringLiteral("__sheetsmith.pick(true,") + literal(m_pickSelectors) + u')'
                                  : QStringLiteral("__sheetsmith.pick(false)"));
        return;
    }
    // Switched off, the outline goes too.
    if (!m_enabled)
        m_rule.clear();
    if (m_rule != m_shownRule)
        send(Job::Rule, QStringLiteral("__sheetsmith.highlight(") + literal(m_rule) + u')');
}

void LivePreview::send(Job job, const QString &call)
{
    m_job = job;
    const quint64 generation = m_generation;
    if (job == Job::Rule)
        m_shownRule = m_rule;
    m_lastCall = call;
    // The library goes with the first script a page gets; later ones only ask whether
    // it is still there, since the engine keeps a compiled copy of every script text.
    const QString script = m_libraryIn
        ? QStringLiteral("if (!window.__sheetsmith) '") + kNoLibrary + QStringLiteral("'; else\n") + call
        : library() + u'\n' + call;
    m_libraryIn = true;
    m_sent.start();
    m_watchdog.start();
    const QPointer<LivePreview> alive(this);
    m_view.runScript(script, [alive, job, generation](const QVariant &value) {
        if (alive)
            alive->answered(job, generation, value);
    });
}

void LivePreview::answered(Job job, quint64 generation, const QVariant &value)
{
    if (generation != m_generation || job != m_job)
        return; // asked of a page that has gone since
    m_watchdog.stop();
    m_job = Job::None;
    if (value.userType() == QMetaType::QString && value.toString() == kNoLibrary) {
        // The page lost the library (its world began again): the same call, with it.
        m_libraryIn = false;
        send(job, m_lastCall);
        return;
    }
    const double roundTrip = double(m_sent.nsecsElapsed()) / 1e6;
    switch (job) {
    case Job::Sheet: {
        const double engine = value.isValid() ? value.toDouble() : -1;
        if (engine >= 0) {
            m_pageChunks = m_sendingChunks;
            m_pageFresh = false;
            m_pageUnknown = false;
            emit sheetUpdated(engine, roundTrip);
        } else {
            // The page has no element to hold the sheet (or the script failed):
            // nothing more is sent to it until a page loads again.
            m_hasSheetElement = false;
        }
        break;
    }
    case Job::Rule:
        emit ruleShown(m_shownRule, value.isValid() ? value.toInt() : -1);
        break;
    case Job::Poll: {
        if (!m_picking || !value.isValid() || value.isNull())
            break;
        const QString answer = value.toString();
        if (answer.isEmpty())
            break;
        m_picking = false;
        m_poll.stop();
        if (answer == QLatin1String("\"cancel\"")) {
            emit pickingEnded();
            break;
        }
        QList<int> matched;
        for (const QJsonValue &v : QJsonDocument::fromJson(answer.toUtf8()).array())
            matched << v.toInt();
        emit elementPicked(matched);
        emit pickingEnded();
        break;
    }
    case Job::Pick:
    case Job::None:
        break;
    }
    sendNext();
}

} // namespace sheetsmith
