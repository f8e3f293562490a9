#include "support/windowfixture.h"

#include "editor/richedit.h"
#include "support/files.h"

namespace sheetsmith {

bool WindowFixture::setUp(const std::function<void(SettingsStore &)> &configure)
{
    m_views = std::make_unique<RecordingPageViews>();
    m_dir = std::make_unique<QTemporaryDir>();
    if (!m_dir->isValid()) {
        m_problem = QStringLiteral("no temporary folder");
        return false;
    }
    m_settings = std::make_unique<SettingsStore>(m_dir->filePath(QStringLiteral("settings.ini")));
    m_settings->ensureEditorDefaults();
    if (configure)
        configure(*m_settings);
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_scope = std::make_unique<ScopedDialogSeam>(*m_dialogs);
    m_window = std::make_unique<Form1>(*m_settings);
    if (!m_window->startUp(QString())) {
        m_problem = QStringLiteral("the window did not start");
        return false;
    }
    m_window->showWindow();
    return true;
}

bool WindowFixture::tearDown()
{
    bool ok = true;
    if (m_window) {
        if (m_window->MainText()->text() != m_window->SavedText())
            m_dialogs->answerMessage(DialogSeam::No);
        if (!m_window->close()) {
            m_problem = QStringLiteral("the window did not close");
            ok = false;
        }
    }
    if (m_dialogs && !m_dialogs->unanswered().isEmpty()) {
        m_problem = QStringLiteral("unanswered: ") + m_dialogs->unanswered().join(u", ");
        ok = false;
    }
    m_window.reset();
    m_scope.reset();
    m_dialogs.reset();
    m_settings.reset();
    m_dir.reset();
    m_views.reset();
    return ok;
}

RichEdit &WindowFixture::editor() const
{
    return *m_window->MainText();
}

QString WindowFixture::writeFile(const QString &name, const QByteArray &bytes) const
{
    const QString path = m_dir->filePath(name);
    writeBytes(path, bytes);
    return path;
}

bool WindowFixture::open(const QByteArray &sheet)
{
    return m_window->OpenDocument(QStringLiteral("sheet.css"), writeFile(QStringLiteral("sheet.css"), sheet));
}

} // namespace sheetsmith
