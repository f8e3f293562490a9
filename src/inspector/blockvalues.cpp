#include "inspector/blockvalues.h"

#include "blocks/itmclass.h"
#include "blocks/scanner.h"
#include "text/lines.h"
#include "text/textmodel.h"
#include "text/words.h"


namespace sheetsmith {

namespace {

QString trimBlanks(const QString &s)
{
    qsizetype from = 0;
    qsizetype to = s.size();
    while (from < to && s[from] == u' ')
        ++from;
    while (to > from && s[to - 1] == u' ')
        --to;
    return s.mid(from, to - from);
}

// Property names are found by whole-word search; besides the usual word delimiters the
// braces count as delimiters here, so a rule written on one line without blanks
// ("p{color:red}") shows its value too.
bool isNameDelimiter(QChar c)
{
    return !IsWordChar(c) || c == u'{' || c == u'}';
}

qsizetype findPropertyName(const QString &text, qsizetype start1, const QString &name, qsizetype limit1)
{
    return FindWholeWord(start1, text, name, limit1, isNameDelimiter);
}

QString signedNumber(qint64 n)
{
    return (n < 0 ? QString() : QStringLiteral(" ")) + QString::number(n);
}

} // namespace

std::optional<QString> DeclaredValue(const TextModel &text, const ItmClass &block, const QString &name)
{
    return BlockValues(text, block).value(name);
}

std::optional<QString> BlockValues::value(const QString &name)
{
    // The block runs from its selector line to its "}"; a block whose "}" is missing
    // or commented out (Ends 0) holds nothing.
    if (name.isEmpty())
        return std::nullopt;
    const qsizetype e = findPropertyName(m_text.text(), m_block.Begins() + 1, name, m_block.Ends());
    if (e == 0 || e >= m_block.Ends())
        return std::nullopt;

    const int lineNumber = LineOfChar(m_text, e);
    auto prepared = m_preparedLines.find(lineNumber);
    if (prepared == m_preparedLines.end()) {
        QString line = StripComments(LineText(m_text, lineNumber));
        line.remove(QStringLiteral("!important"), Qt::CaseInsensitive);
        prepared = m_preparedLines.insert(lineNumber, line);
    }
    const QString &line = prepared.value();

    const qsizetype p = findPropertyName(line, 1, name, line.size() + 1);
    if (p == 0)
        return std::nullopt;
    // The value ends at the first ";" after the name, or at the "}" of a rule written on
    // one line ("a { margin: 0 }"), or at the line's end.
    qsizetype q = 0;
    for (qsizetype i = p - 1; i < line.size() && q == 0; ++i) {
        if (line[i] == u';' || line[i] == u'}')
            q = i + 1;
    }
    if (q == 0)
        q = line.size() + 1;
    QString value = line.mid(p - 1 + name.size(), q - p - name.size());
    value.remove(u':');
    value.remove(u';');
    return trimBlanks(value);
}

QString CaretPositionText(int line, int lineCount, qsizetype column)
{
    return QStringLiteral("Line") + signedNumber(line) + QStringLiteral(" of ") + signedNumber(lineCount)
           + QStringLiteral(", Col ") + signedNumber(column);
}

} // namespace sheetsmith
