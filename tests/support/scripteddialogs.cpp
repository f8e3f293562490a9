#include "support/scripteddialogs.h"

#include <QTest>

namespace sheetsmith {

ScriptedDialogs::~ScriptedDialogs() = default;

void ScriptedDialogs::answerMessage(int answer)
{
    m_messageAnswers.enqueue(answer);
}

void ScriptedDialogs::answerFile(const QString &path, int filterIndex)
{
    m_fileAnswers.enqueue(FileAnswer{path, filterIndex});
}

void ScriptedDialogs::cancelFile()
{
    m_fileAnswers.enqueue(std::nullopt);
}

void ScriptedDialogs::answerColour(const QColor &colour)
{
    m_colourAnswers.enqueue(colour);
}

void ScriptedDialogs::cancelColour()
{
    m_colourAnswers.enqueue(std::nullopt);
}

int ScriptedDialogs::message(QWidget *owner, const QString &text, int flags, const QString &title)
{
    m_messages.append({text, flags, title, owner});
    if (m_messageAnswers.isEmpty()) {
        unansweredCall(QStringLiteral("message box \"%1\"").arg(text));
        return Cancel;
    }
    return m_messageAnswers.dequeue();
}

bool ScriptedDialogs::openFile(FileDialogRequest &request)
{
    return fileDialog(FileKind::Open, request);
}

bool ScriptedDialogs::saveFile(FileDialogRequest &request)
{
    return fileDialog(FileKind::Save, request);
}

bool ScriptedDialogs::fileDialog(FileKind kind, FileDialogRequest &request)
{
    m_fileCalls.append({kind, request});
    if (m_fileAnswers.isEmpty()) {
        unansweredCall(kind == FileKind::Open ? QStringLiteral("open-file dialog")
                                              : QStringLiteral("save-file dialog"));
        return false;
    }
    const std::optional<FileAnswer> answer = m_fileAnswers.dequeue();
    if (!answer)
        return false;
    request.selectedFile = answer->path;
    if (answer->filterIndex >= 0)
        request.filterIndex = answer->filterIndex;
    return true;
}

bool ScriptedDialogs::chooseColour(ColourDialogRequest &request)
{
    m_colourCalls.append(request);
    if (m_colourAnswers.isEmpty()) {
        unansweredCall(QStringLiteral("colour dialog"));
        return false;
    }
    const std::optional<QColor> answer = m_colourAnswers.dequeue();
    if (!answer)
        return false;
    request.colour = *answer;
    return true;
}

int ScriptedDialogs::pendingAnswers() const
{
    return int(m_messageAnswers.size() + m_fileAnswers.size() + m_colourAnswers.size());
}

void ScriptedDialogs::unansweredCall(const QString &what)
{
    m_unanswered << what;
    const QByteArray failure = QStringLiteral("No scripted answer for the %1").arg(what).toUtf8();
    QTest::qFail(failure.constData(), __FILE__, __LINE__);
}

void ScriptedDialogs::forgetCalls()
{
    m_messages.clear();
    m_fileCalls.clear();
    m_colourCalls.clear();
}

} // namespace sheetsmith
