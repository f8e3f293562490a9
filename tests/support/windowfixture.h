#pragma once

#include "app/form1.h"
#include "dialogs/scopeddialogseam.h"
#include "settings/settingsstore.h"
#include "support/recordingpageview.h"
#include "support/scripteddialogs.h"

#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace sheetsmith {

class RichEdit;

// A started and shown main window for a test: settings in a temporary file with the
// editor defaults, every dialog scripted. Call setUp from a test's init and tearDown
// from its cleanup, each inside QVERIFY.
class WindowFixture
{
public:
    // configure runs on the fresh settings before the window starts.
    bool setUp(const std::function<void(SettingsStore &)> &configure = {});
    // Throws away edits (answering No to the save question), closes the window and
    // checks that no dialog call went unanswered. False when any of that failed.
    bool tearDown();

    // Writes a file into the temporary folder; returns its path.
    QString writeFile(const QString &name, const QByteArray &bytes) const;
    // Opens bytes as the document "sheet.css".
    bool open(const QByteArray &sheet);

    Form1 &window() const { return *m_window; }
    RichEdit &editor() const;
    ScriptedDialogs &dialogs() const { return *m_dialogs; }
    SettingsStore &settings() const { return *m_settings; }
    QString problem() const { return m_problem; }
    QString folder() const { return m_dir->path(); }

private:
    // The preview window gets a recording view: the browser engine never starts.
    std::unique_ptr<RecordingPageViews> m_views;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<ScopedDialogSeam> m_scope;
    std::unique_ptr<Form1> m_window;
    QString m_problem;
};

} // namespace sheetsmith
