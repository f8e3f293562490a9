#include "support/recordinglauncher.h"

#include <QUrl>

namespace sheetsmith {

RecordingLauncher::~RecordingLauncher() = default;

bool RecordingLauncher::openUrl(const QUrl &url)
{
    m_urls << url.toString();
    m_log << QStringLiteral("url ") + url.toString();
    return m_openUrlResult;
}

bool RecordingLauncher::startProgram(const QString &program, const QStringList &arguments)
{
    m_log << QStringLiteral("program ") + program + QLatin1Char(' ')
            + arguments.join(QLatin1Char('|'));
    return m_startProgramResult;
}

void RecordingLauncher::setClipboardText(const QString &text)
{
    m_clipboardText = text;
    m_log << QStringLiteral("clipboard ") + text;
}

} // namespace sheetsmith
