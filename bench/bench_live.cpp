// Times the live preview with the real browser engine, on the 2 MB sample sheet and a
// sample page: an edit reaching the page (inside the program and from outside), a
// Refresh for comparison, the outline of the rule at the caret, typing latency with live
// on and off, and the memory of the program and its engine after many edits.
//
// Needs a display: run it under xvfb-run. Usage: bench_live [EDITS] (default 1000).

#include "benchutil.h"

#include "app/form1.h"
#include "dialogs/scopeddialogseam.h"
#include "editor/richedit.h"
#include "preview/frmpreview.h"
#include "preview/livepreview.h"
#include "preview/pageview.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "support/scripteddialogs.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <cstdio>
#include <random>
#include <vector>

using namespace sheetsmith;

namespace {

// Waits until ready() holds or ms pass; a wait in vain is reported, the figures go on.
template <typename Ready>
void waitOr(Ready ready, int ms)
{
    if (!QTest::qWaitFor(ready, ms))
        std::fprintf(stderr, "waited %d ms in vain\n", ms);
}

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

void print(const char *what, std::vector<double> values)
{
    if (values.empty()) {
        std::printf("%-52s no figures\n", what);
        return;
    }
    std::sort(values.begin(), values.end());
    std::printf("%-52s median %8.2f ms  max %8.2f ms  (%zu)\n", what, values[values.size() / 2], values.back(),
                values.size());
}

void typeKey(QWidget &target, Qt::Key key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&target, &release);
}

QString evaluate(QWebEngineView &view, const QString &script)
{
    QString result;
    bool answered = false;
    view.page()->runJavaScript(script, [&](const QVariant &value) {
        result = value.toString();
        answered = true;
    });
    waitOr([&] { return answered; }, 20000);
    return result;
}

// The program's resident memory and that of the engine's processes it started.
std::pair<long, long> memoryKb()
{
    const QString self = QString::number(QCoreApplication::applicationPid());
    long children = 0;
    // The engine's processes descend from this one; they are found by their parent chain.
    QStringList ours{self};
    bool grew = true;
    const QStringList all = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    while (grew) {
        grew = false;
        for (const QString &pid : all) {
            if (ours.contains(pid))
                continue;
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            const QByteArray text = stat.readAll();
            const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
            if (fields.size() > 1 && ours.contains(QString::fromLatin1(fields[1]))) {
                ours << pid;
                children += bench::residentKb(pid);
                grew = true;
            }
        }
    }
    return {bench::residentKb(self), children};
}

} // namespace

int main(int argc, char **argv)
{
    prepareBrowserEngine();
    QApplication app(argc, argv);
    const int edits = argc > 1 ? QByteArray(argv[1]).toInt() : 1000;

    const QString sheetPath = corpusDir() + QStringLiteral("/css/fomantic-semantic.css");
    const QString pagePath = corpusDir() + QStringLiteral("/html/milligram-example.html");
    if (!QFile::exists(sheetPath) || !QFile::exists(pagePath)) {
        std::fprintf(stderr, "no samples in %s\n", qPrintable(corpusDir()));
        return 1;
    }
    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(QStringLiteral("settings.ini")));
    settings.ensureEditorDefaults();
    settings.write(keys::preview::Section, keys::preview::Show, QStringLiteral("1"));
    settings.write(keys::preview::Section, keys::preview::file(1), pagePath);
    ScriptedDialogs dialogs;
    ScopedDialogSeam seam(dialogs);

    Form1 window(settings);
    QSignalSpy started(&window, &Form1::startedUp);
    if (!window.startUp(sheetPath)) {
        std::fprintf(stderr, "the window did not start: %s\n", qPrintable(dialogs.unanswered().join(u", ")));
        return 1;
    }
    window.showWindow();
    waitOr([&] { return !started.isEmpty(); }, 60000);
    RichEdit &editor = *window.MainText();
    FrmPreview &preview = *window.preview();
    auto *view = qobject_cast<QWebEngineView *>(preview.WebBrowser1()->widget());
    if (!view) {
        std::fprintf(stderr, "the preview has no browser engine\n");
        return 1;
    }
    std::printf("%s: %lld characters, page %s\n", qPrintable(sheetPath), static_cast<long long>(editor.text().size()),
                qPrintable(pagePath));

    // A rule of its own at the end of the sheet, whose colour the edits change digit by
    // digit, so each edit shows in the page's computed style.
    editor.setSelStart(editor.text().size());
    editor.setSelText(QStringLiteral("\nbody { outline-color: rgb(0, 0, 0) }\n"));
    const qsizetype digit = editor.text().lastIndexOf(u"0)");

    // Refresh: a reload of the composed page, the way without live preview.
    QSignalSpy loaded(view, &QWebEngineView::loadFinished);
    preview.ComPath()->activated(0);
    waitOr([&] { return !loaded.isEmpty() && view->url().isLocalFile(); }, 60000);
    QAction *refresh = preview.findChild<QAction *>(QStringLiteral("Tb_Refresh"));
    std::vector<double> reloads;
    for (int i = 0; i < 5; ++i) {
        loaded.clear();
        QElapsedTimer timer;
        timer.start();
        refresh->trigger();
        waitOr([&] { return !loaded.isEmpty(); }, 60000);
        reloads.push_back(msSince(timer));
    }
    print("Refresh (reload of the page)", reloads);

    // Typing: each keystroke's latency is how late it was handled plus the handling
    // itself. Two rhythms: a steady 130 ms beat and the uneven beat of real typing, 80 to
    // 250 ms apart, the same sequence each time. With live on, each keystroke's update
    // is sent from the event loop once the keystroke is handled, so its cost shows as
    // the next keystroke's lateness when it falls in its way.
    const auto typingLatency = [&](int keys, bool steady) {
        std::vector<double> latencies;
        std::mt19937 rhythm(1);
        double due = 0;
        editor.setSelStart(editor.text().size());
        editor.setSelText(QStringLiteral("/*  */"));
        editor.setSelStart(editor.text().size() - 3);
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < keys; ++i) {
            due += steady ? 130.0 : 80.0 + double(rhythm() % 171);
            // An event loop of its own, not QTest::qWaitFor, which sleeps between its
            // looks and would make every keystroke late by up to 10 ms.
            QEventLoop beat;
            QTimer::singleShot(int(due - msSince(clock)), Qt::PreciseTimer, [&] {
                const double late = msSince(clock) - due;
                QElapsedTimer handling;
                handling.start();
                typeKey(editor, Qt::Key_A, QStringLiteral("a"));
                latencies.push_back(std::max(0.0, late) + msSince(handling));
                beat.quit();
            });
            beat.exec();
        }
        QTest::qWait(400);
        return latencies;
    };
    print("typing latency, live off, steady beat", typingLatency(100, true));
    print("typing latency, live off, uneven beat", typingLatency(100, false));
    const auto [ownOff, engineOff] = memoryKb();

    QAction *live = preview.findChild<QAction *>(QStringLiteral("Tb_Live"));
    LivePreview &liveView = preview.live();
    QSignalSpy updated(&liveView, &LivePreview::sheetUpdated);
    live->setChecked(true);
    waitOr([&] { return !updated.isEmpty(); }, 30000);
    print("typing latency, live on, steady beat", typingLatency(100, true));
    print("typing latency, live on, uneven beat", typingLatency(100, false));

    // One keystroke to the page: the update inside the program (text handed over until
    // the engine has restyled) and from outside (until the computed style shows it).
    std::vector<double> engine, roundTrip, endToEnd;
    for (int i = 1; i <= 20; ++i) {
        const QString d = QString::number(i % 10);
        updated.clear();
        editor.setSelStart(digit);
        editor.setSelLength(1);
        QElapsedTimer timer;
        timer.start();
        typeKey(editor, Qt::Key(Qt::Key_0 + i % 10), d);
        const QString want = QStringLiteral("rgb(0, 0, %1)").arg(d);
        waitOr(
            [&] { return evaluate(*view, QStringLiteral("getComputedStyle(document.body).outlineColor")) == want; },
            10000);
        endToEnd.push_back(msSince(timer));
        waitOr([&] { return !updated.isEmpty(); }, 5000);
        if (!updated.isEmpty()) {
            engine.push_back(updated.first().at(0).toDouble());
            roundTrip.push_back(updated.first().at(1).toDouble());
        }
    }
    print("live update: engine restyle (inside the page)", engine);
    print("live update: handed to the engine until answered", roundTrip);
    print("live update: keystroke to computed style", endToEnd);

    // The rule at the caret outlined: from the request to the page's answer.
    std::vector<double> outlines;
    for (int i = 0; i < 5; ++i) {
        for (const QString &selector : {QStringLiteral("p"), QStringLiteral("a"), QStringLiteral("h1"),
                                        QStringLiteral("body")}) {
            QElapsedTimer timer;
            timer.start();
            preview.showRule(selector);
            // The answer for this selector, not the late one that took the last away.
            QEventLoop answered;
            const auto done = QObject::connect(&liveView, &LivePreview::ruleShown, &answered, [&](const QString &rule) {
                if (rule == selector)
                    answered.quit();
            });
            QTimer::singleShot(5000, &answered, &QEventLoop::quit);
            answered.exec();
            QObject::disconnect(done);
            outlines.push_back(msSince(timer));
            preview.showRule(QString());
            QTest::qWait(50);
        }
    }
    print("rule at the caret to its outline shown", outlines);

    // Memory after many edits: first with live off, then on, each edit reaching the page.
    const auto edit = [&](int i) {
        editor.setSelStart(digit);
        editor.setSelLength(1);
        typeKey(editor, Qt::Key(Qt::Key_0 + i % 10), QString::number(i % 10));
    };
    live->setChecked(false);
    for (int i = 0; i < edits; ++i) {
        edit(i);
        QCoreApplication::processEvents();
    }
    QTest::qWait(500);
    const auto [ownOffEdits, engineOffEdits] = memoryKb();
    live->setChecked(true);
    for (int i = 0; i < edits; ++i) {
        updated.clear();
        edit(i + 1);
        waitOr([&] { return !updated.isEmpty(); }, 5000);
    }
    QTest::qWait(500);
    const auto [ownOn, engineOn] = memoryKb();
    std::printf("memory before the edits, live off: program %ld kB, engine %ld kB\n", ownOff, engineOff);
    std::printf("memory after %d edits, live off:   program %ld kB, engine %ld kB\n", edits, ownOffEdits,
                engineOffEdits);
    std::printf("memory after %d edits, live on:    program %ld kB (%+.1f %%), engine %ld kB (%+.1f %%)\n", edits, ownOn,
                100.0 * (ownOn - ownOffEdits) / std::max(1L, ownOffEdits), engineOn,
                100.0 * (engineOn - engineOffEdits) / std::max(1L, engineOffEdits));

    // Leave without the save question.
    editor.setText(window.SavedText());
    window.close();
    return 0;
}
