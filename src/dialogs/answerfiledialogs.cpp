#include "dialogs/answerfiledialogs.h"

#include "dialogs/qtdialogseam.h"

#include <QFile>

#include <array>
#include <utility>

namespace sheetsmith {

namespace {

const std::array<std::pair<const char *, int>, 7> AnswerNames = {{
    {"Ok", DialogSeam::Ok},
    {"Cancel", DialogSeam::Cancel},
    {"Abort", DialogSeam::Abort},
    {"Retry", DialogSeam::Retry},
    {"Ignore", DialogSeam::Ignore},
    {"Yes", DialogSeam::Yes},
    {"No", DialogSeam::No},
}};

} // namespace

std::unique_ptr<AnswerFileDialogs> AnswerFileDialogs::fromEnvironment()
{
    const QString answers = qEnvironmentVariable("SHEETSMITH_DIALOG_ANSWERS");
    if (answers.isEmpty())
        return nullptr;
    return std::make_unique<AnswerFileDialogs>(answers, qEnvironmentVariable("SHEETSMITH_DIALOG_LOG"));
}

AnswerFileDialogs::AnswerFileDialogs(const QString &answersPath, const QString &logPath)
    : m_logPath(logPath)
    , m_scope(*this)
{
    QFile file(answersPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return; // no answers: every box is closed as Escape closes it
    while (!file.atEnd()) {
        const QString word = QString::fromUtf8(file.readLine()).trimmed();
        if (const int answer = answerNamed(word))
            m_answers.enqueue(answer);
    }
}

int AnswerFileDialogs::answerNamed(const QString &word)
{
    for (const auto &[name, answer] : AnswerNames) {
        if (word.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return answer;
    }
    return 0;
}

QString AnswerFileDialogs::nameOf(int answer)
{
    for (const auto &[name, value] : AnswerNames) {
        if (value == answer)
            return QLatin1String(name);
    }
    return QString::number(answer);
}

int AnswerFileDialogs::message(QWidget *, const QString &text, int flags, const QString &)
{
    const int answer = m_answers.isEmpty()
        ? QtDialogSeam::answerFor(QtDialogSeam::escapeButtonFor(flags))
        : m_answers.dequeue();
    log(nameOf(answer), text);
    return answer;
}

bool AnswerFileDialogs::openFile(FileDialogRequest &)
{
    log(nameOf(Cancel), QStringLiteral("open-file dialog"));
    return false;
}

bool AnswerFileDialogs::saveFile(FileDialogRequest &)
{
    log(nameOf(Cancel), QStringLiteral("save-file dialog"));
    return false;
}

bool AnswerFileDialogs::chooseColour(ColourDialogRequest &)
{
    log(nameOf(Cancel), QStringLiteral("colour dialog"));
    return false;
}

void AnswerFileDialogs::log(const QString &answer, const QString &text) const
{
    if (m_logPath.isEmpty())
        return;
    QFile file(m_logPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    QString line = text;
    line.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    file.write((answer + u'\t' + line + u'\n').toUtf8());
}

} // namespace sheetsmith
