#include "settings/optionsrules.h"

#include "editor/colouringrules.h"
#include "editor/rtf.h"
#include "settings/settingsstore.h"

#include <QRegularExpression>

#include <cmath>
#include <vector>

namespace sheetsmith {

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// A control word of the RTF source: a backslash, letters, an optional "-" and digits.
struct ControlWord
{
    qsizetype start = 0;
    qsizetype length = 0;
    QStringView name;
    bool hasNumber = false;
};

// The control words of an RTF text, read from left to right so that an escaped
// backslash ("\\") is taken as the control symbol it is and never starts a word.
std::vector<ControlWord> controlWords(const QString &rtf)
{
    std::vector<ControlWord> words;
    const qsizetype n = rtf.size();
    qsizetype i = 0;
    while (i < n) {
        if (rtf[i] != u'\\' || i + 1 >= n) {
            ++i;
            continue;
        }
        if (!isAsciiLetter(rtf[i + 1])) {
            i += 2; // a control symbol: \\ \{ \} \' and the like
            continue;
        }
        ControlWord word;
        word.start = i;
        qsizetype k = i + 1;
        while (k < n && isAsciiLetter(rtf[k]))
            ++k;
        word.name = QStringView(rtf).mid(i + 1, k - i - 1);
        if (k < n && rtf[k] == u'-' && k + 1 < n && isDigit(rtf[k + 1]))
            ++k;
        const qsizetype digits = k;
        while (k < n && isDigit(rtf[k]))
            ++k;
        word.hasNumber = k > digits;
        word.length = k - i;
        words.push_back(word);
        i = k;
    }
    return words;
}

// One entry of the colour table: where its text starts and how long it is.
struct TableEntry
{
    qsizetype start;
    qsizetype length;
};

} // namespace

QString RenameRtfFont(const QString &rtf, const QString &oldName, const QString &newName)
{
    if (oldName.isEmpty())
        return rtf;
    const QString tableEnd = QStringLiteral(";}}");
    QString result = rtf;
    result.replace(oldName + tableEnd, newName + tableEnd, Qt::CaseSensitive);
    return result;
}

QString ResizeRtfFont(const QString &rtf, int halfPoints)
{
    if (halfPoints < 1)
        return rtf;
    const std::vector<ControlWord> words = controlWords(rtf);
    QString oldWord;
    for (const ControlWord &word : words) {
        if (word.hasNumber && word.name.compare(u"fs", Qt::CaseInsensitive) == 0) {
            oldWord = rtf.mid(word.start, word.length);
            break;
        }
    }
    if (oldWord.isEmpty())
        return rtf;

    const QString newWord = QStringLiteral("\\fs") + QString::number(halfPoints);
    QString result;
    result.reserve(rtf.size() + 16);
    qsizetype copied = 0;
    for (const ControlWord &word : words) {
        if (QStringView(rtf).mid(word.start, word.length) != oldWord)
            continue;
        result += QStringView(rtf).mid(copied, word.start - copied);
        result += newWord;
        copied = word.start + word.length;
    }
    result += QStringView(rtf).mid(copied);
    return result;
}

QString RecolourRtfTable(const QString &rtf, const std::array<ColourChange, 3> &changes)
{
    const QString opener = QStringLiteral("{\\colortbl");
    const qsizetype open = rtf.indexOf(opener);
    if (open < 0)
        return rtf;
    const qsizetype close = rtf.indexOf(u'}', open + opener.size());
    if (close < 0)
        return rtf;

    // The entries are the pieces between ";" up to the table's last ";"; what follows
    // the last ";" (normally nothing) is no entry.
    std::vector<TableEntry> entries;
    qsizetype pieceStart = open + opener.size();
    for (qsizetype i = pieceStart; i < close; ++i) {
        if (rtf[i] == u';') {
            entries.push_back({pieceStart, i - pieceStart});
            pieceStart = i + 1;
        }
    }

    // Each change claims the first entry equal to its old definition that no earlier
    // change claimed, in the table as it was: so the changes do not see each other's
    // results, and two changes of one old colour take its first two entries.
    std::vector<const QString *> replacement(entries.size(), nullptr);
    for (const ColourChange &change : changes) {
        if (change.oldDefinition.isEmpty())
            continue;
        for (size_t e = 0; e < entries.size(); ++e) {
            const QStringView entry =
                QStringView(rtf).mid(entries[e].start, entries[e].length).trimmed();
            if (!replacement[e] && entry == change.oldDefinition) {
                replacement[e] = &change.newDefinition;
                break;
            }
        }
    }

    QString result;
    result.reserve(rtf.size() + 64);
    qsizetype copied = 0;
    for (size_t e = 0; e < entries.size(); ++e) {
        if (!replacement[e])
            continue;
        result += QStringView(rtf).mid(copied, entries[e].start - copied);
        // Keep the blank that may open the first entry ("{\colortbl ;").
        const QStringView entry = QStringView(rtf).mid(entries[e].start, entries[e].length);
        qsizetype lead = 0;
        while (lead < entry.size() && entry[lead] == u' ')
            ++lead;
        result += entry.left(lead);
        result += *replacement[e];
        copied = entries[e].start + entries[e].length;
    }
    result += QStringView(rtf).mid(copied);
    return result;
}

bool NeedsFullRecolour(const KindColours &oldColours, const KindColours &newColours)
{
    // The line colouring paints plain text black (0), so black is a fourth kind.
    constexpr ColourValue plainText = 0;
    for (size_t i = 0; i < oldColours.size(); ++i) {
        if (oldColours[i] == plainText && newColours[i] != plainText)
            return true;
        for (size_t j = i + 1; j < oldColours.size(); ++j) {
            if (oldColours[i] == oldColours[j] && newColours[i] != newColours[j])
                return true;
        }
    }
    return false;
}

QString FreshlyColouredRtf(const QString &text, const QString &fontName, int halfPoints,
                           const std::array<QString, 3> &definitions)
{
    RtfContent plain;
    plain.text = text;
    plain.colours.assign(size_t(text.size()), kAutoColour);
    plain.fontName = fontName;
    plain.fontHalfPoints = halfPoints;
    bool commentOpen = false;
    return ColourRtfText(writeRtf(plain),
                         ColourTableText(definitions[0], definitions[1], definitions[2]),
                         commentOpen);
}

RestylePlan PlanRestyle(const SyntaxColours &old, const KindColours &newColours)
{
    const KindColours oldNumbers{old.values.selector, old.values.bracket, old.values.comment};
    const std::array<QString, 3> oldDefinitions{old.selectorDefinition, old.bracketDefinition,
                                                old.commentDefinition};
    RestylePlan plan;
    // The document colouring paints with the stored definitions and the line colouring
    // with the stored numbers; when the two disagree for a kind, its characters carry
    // two colours and the table cannot be rewritten kind by kind.
    bool formsDisagree = false;
    KindColours oldFromDefinitions = oldNumbers;
    for (size_t k = 0; k < 3; ++k) {
        plan.newDefinitions[k] = colourToRtfDefinition(newColours[k]);
        const std::optional<ColourValue> fromDefinition = colourFromRtfDefinition(oldDefinitions[k]);
        if (fromDefinition && *fromDefinition != kAutoColour) {
            oldFromDefinitions[k] = *fromDefinition;
            plan.changes[k] = {colourToRtfDefinition(*fromDefinition), plan.newDefinitions[k]};
            formsDisagree = formsDisagree || *fromDefinition != oldNumbers[k];
        } else {
            plan.changes[k] = {colourToRtfDefinition(oldNumbers[k]), plan.newDefinitions[k]};
        }
    }
    plan.recolourAll = formsDisagree || NeedsFullRecolour(oldNumbers, newColours)
                       || NeedsFullRecolour(oldFromDefinitions, newColours);
    return plan;
}

QString RestyleRtf(const QString &rtf, const QString &text, const QString &oldFontName,
                   const QString &fontName, int halfPoints, const RestylePlan &plan)
{
    if (plan.recolourAll)
        return FreshlyColouredRtf(text, fontName, halfPoints, plan.newDefinitions);
    return RecolourRtfTable(ResizeRtfFont(RenameRtfFont(rtf, oldFontName, fontName), halfPoints),
                            plan.changes);
}

int HalfPoints(double pointSize)
{
    return int(std::lround(pointSize * 2));
}

std::optional<double> ParseFontSize(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]+(\\.[0-9]*)?|\\.[0-9]+)$"));
    const QString t = text.trimmed();
    if (!form.match(t).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double size = t.toDouble(&ok);
    if (!ok || size < kMinFontSize || size > kMaxFontSize)
        return std::nullopt;
    return size;
}

std::optional<int> ParseTabWidth(const QString &text)
{
    const std::optional<qint16> width = SettingsStore::toInt16(text);
    if (!width || *width < kMinTabWidth || *width > kMaxTabWidth)
        return std::nullopt;
    return int(*width);
}

bool IsUsableFontName(const QString &name)
{
    if (name.trimmed().isEmpty())
        return false;
    for (const QChar c : name) {
        if (c == u';' || c == u'{' || c == u'}' || c == u'\\' || c < u' ')
            return false;
    }
    return true;
}

} // namespace sheetsmith
