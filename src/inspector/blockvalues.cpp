#include "inspector/blockvalues.h"

#include "blocks/itmclass.h"
#include "blocks/scanner.h"
#include "text/lines.h"
#include "text/textmodel.h"
#include "text/words.h"

#include <algorithm>

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

qsizetype findPropertyName(const QString &text, qsizetype start1, const QString &name, qsizetype limit1)
{
    return FindWholeWord(start1, text, name, limit1, IsNameDelimiter);
}

QString signedNumber(qint64 n)
{
    return (n < 0 ? QString() : QStringLiteral(" ")) + QString::number(n);
}

} // namespace

// Property names are found by whole-word search; besides the usual word delimiters the
// braces count as delimiters here, so a rule written on one line without blanks
// ("p{color:red}") shows its value too.
bool IsNameDelimiter(QChar c)
{
    return !IsWordChar(c) || c == u'{' || c == u'}';
}

std::vector<qsizetype> FindPropertyNames(const QString &text, qsizetype start1, std::span<const QString> names,
                                         qsizetype limit1)
{
    std::vector<qsizetype> found(names.size(), 0);
    // A whole-word occurrence of a name without delimiters in it is a whole run of
    // characters between delimiters: each run is compared, by its length, with the
    // names of that length, letter case folded as the case-insensitive search folds it.
    std::vector<QString> folded(names.size());
    std::vector<size_t> pending;
    qsizetype longest = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        const QString &name = names[i];
        if (name.isEmpty())
            continue;
        // A surrogate pair is folded as one character by the search: such names, and
        // names with a delimiter, are searched on their own.
        if (std::any_of(name.begin(), name.end(), [](QChar c) { return IsNameDelimiter(c) || c.isSurrogate(); })) {
            found[i] = FindWholeWord(start1, text, name, limit1, IsNameDelimiter);
            continue;
        }
        folded[i] = name.toCaseFolded();
        pending.push_back(i);
        longest = std::max(longest, name.size());
    }
    const qsizetype n = text.size();
    // A match starts at or after start1 and before limit1 (0-based: at most limit1 - 2).
    const qsizetype last = std::min(limit1 - 2, n - 1);
    for (qsizetype at = std::max<qsizetype>(start1, 1) - 1; at <= last && !pending.empty();) {
        if (IsNameDelimiter(text[at])) {
            ++at;
            continue;
        }
        qsizetype end = at;
        while (end < n && !IsNameDelimiter(text[end]))
            ++end;
        const qsizetype length = end - at;
        // Past the text's end there is no delimiter: a run there is no whole word.
        if (length <= longest && end < n && (at == 0 || IsNameDelimiter(text[at - 1]))) {
            for (auto it = pending.begin(); it != pending.end();) {
                const QString &name = folded[*it];
                bool same = name.size() == length;
                for (qsizetype k = 0; same && k < length; ++k)
                    same = text[at + k].toCaseFolded() == name[k];
                if (same) {
                    found[*it] = at + 1;
                    it = pending.erase(it);
                } else {
                    ++it;
                }
            }
        }
        at = end;
    }
    return found;
}

std::optional<QString> DeclaredValue(const TextModel &text, const ItmClass &block, const QString &name)
{
    return BlockValues(text, block, std::span<const QString>(&name, 1)).value(0);
}

BlockValues::BlockValues(const TextModel &text, const ItmClass &block, std::span<const QString> names)
    : m_text(text)
    , m_names(names)
    // The block runs from its selector line to its "}"; a block whose "}" is missing or
    // commented out (Ends 0) holds nothing.
    , m_found(FindPropertyNames(text.text(), block.Begins() + 1, names, block.Ends()))
{
}

std::optional<QString> BlockValues::value(size_t i)
{
    if (i >= m_names.size() || m_found[i] == 0)
        return std::nullopt;
    const QString &name = m_names[i];
    const int lineNumber = LineOfChar(m_text, m_found[i]);
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
