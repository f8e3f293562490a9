#pragma once

#include "preview/launcher.h"

#include <QString>
#include <QStringList>

namespace sheetsmith {

// A launcher for tests: starts nothing and leaves the clipboard alone, and records
// every call in order in log(), one line each: "url <address>", "program <program>
// <arguments joined by |>", "clipboard <text>". note() adds a line of the test's own,
// so that other recorded steps (a message box) can be placed in the same order.
// setOpenUrlResult(false) plays a desktop with no browser or mail program.
//
//     RecordingLauncher launcher;
//     ScopedLauncher scope(launcher);
class RecordingLauncher : public Launcher
{
public:
    ~RecordingLauncher() override;

    bool openUrl(const QUrl &url) override;
    bool startProgram(const QString &program, const QStringList &arguments) override;
    void setClipboardText(const QString &text) override;

    void setOpenUrlResult(bool result) { m_openUrlResult = result; }
    void setStartProgramResult(bool result) { m_startProgramResult = result; }
    void note(const QString &line) { m_log << line; }

    const QStringList &log() const { return m_log; }
    // The addresses asked for, and the last text put on the clipboard.
    const QStringList &urls() const { return m_urls; }
    const QString &clipboardText() const { return m_clipboardText; }

private:
    bool m_openUrlResult = true;
    bool m_startProgramResult = true;
    QStringList m_log;
    QStringList m_urls;
    QString m_clipboardText;
};

} // namespace sheetsmith
