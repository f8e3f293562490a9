#include "check/checkrules.h"

#include <iterator>

namespace sheetsmith {

QString CheckLevelKey(CheckLevel level)
{
    return level == CheckLevel::Current ? QStringLiteral("current") : QStringLiteral("css1");
}

CheckLevel CheckLevelFromKey(const QString &key, bool *ok)
{
    const bool current = key.compare(QLatin1String("current"), Qt::CaseInsensitive) == 0;
    if (ok)
        *ok = current || key.compare(QLatin1String("css1"), Qt::CaseInsensitive) == 0;
    return current ? CheckLevel::Current : CheckLevel::Css1;
}

QString ProblemKindName(ProblemKind kind)
{
    switch (kind) {
    case ProblemKind::Error:
        return QStringLiteral("Error");
    case ProblemKind::Warning:
        return QStringLiteral("Warning");
    case ProblemKind::Note:
        return QStringLiteral("Note");
    }
    return QString();
}

namespace {

// In the order of CheckRule.
constexpr RuleInfo Rules[] = {
    {"syntax", ProblemKind::Error, false},
    {"bad-colour", ProblemKind::Error, false},
    {"unknown-property", ProblemKind::Warning, false},
    {"invalid-value", ProblemKind::Warning, false},
    {"unknown-at-rule", ProblemKind::Warning, false},
    {"unknown-selector", ProblemKind::Warning, false},
    {"duplicate-property", ProblemKind::Warning, false},
    {"empty-rule", ProblemKind::Warning, false},
    {"not-css1", ProblemKind::Note, true},
    {"custom-property", ProblemKind::Note, true},
    // Not a mistake at any level; beside CSS level 1 worth a note, as what is not CSS1.
    {"vendor-specific", ProblemKind::Note, true},
};
static_assert(std::size(Rules) == size_t(CheckRule::Count));

struct MessageInfo
{
    CheckRule rule;
    const char *text;
};

// In the order of CheckMessage.
constexpr MessageInfo Messages[] = {
    {CheckRule::Syntax, "This comment is never closed"},
    {CheckRule::Syntax, "This string is never closed"},
    {CheckRule::Syntax, "This block has no closing '}'"},
    {CheckRule::Syntax, "'}' with no block open"},
    {CheckRule::Syntax, "A selector without a block"},
    {CheckRule::Syntax, "A block without a selector"},
    {CheckRule::Syntax, "Declaration without ':'"},
    {CheckRule::Syntax, "'%1' has no value"},
    {CheckRule::BadColour, "Colour '%1' needs 3 or 6 hexadecimal digits"},
    {CheckRule::BadColour, "Colour '%1' needs 3, 4, 6 or 8 hexadecimal digits"},
    {CheckRule::BadColour, "rgb() takes three numbers or three percentages"},
    {CheckRule::UnknownProperty, "Unknown property '%1'"},
    {CheckRule::UnknownProperty, "Unknown property '%1', did you mean '%2'?"},
    {CheckRule::InvalidValue, "CSS1 does not allow '%1' for '%2'"},
    {CheckRule::InvalidValue, "'%1' is not a valid value for '%2'"},
    {CheckRule::NotCss1, "'%1' is not CSS1 (defined in %2)"},
    {CheckRule::NotCss1, "'%1' is not CSS1"},
    {CheckRule::NotCss1, "'%1' is not a CSS1 value for '%2' (valid in current CSS)"},
    {CheckRule::NotCss1, "'%1' is not a CSS1 value for '%2'"},
    {CheckRule::NotCss1, "'%1' is not a CSS1 colour (valid in current CSS)"},
    {CheckRule::NotCss1, "At-rule '%1' is not CSS1"},
    {CheckRule::NotCss1, "At-rule '%1' is not CSS1 (defined in %2)"},
    {CheckRule::UnknownAtRule, "Unknown at-rule '%1'"},
    {CheckRule::NotCss1, "Selector syntax '%1' is not CSS1"},
    {CheckRule::NotCss1, "Nested rules are not CSS1 (valid in current CSS)"},
    {CheckRule::UnknownSelector, "Unknown pseudo-class '%1'"},
    {CheckRule::UnknownSelector, "Unknown pseudo-element '%1'"},
    {CheckRule::CustomProperty, "Custom properties are not CSS1 (valid in current CSS)"},
    {CheckRule::VendorSpecific, "'%1' is specific to one browser engine"},
    {CheckRule::VendorSpecific, "'%1' is a value specific to one browser engine"},
    {CheckRule::VendorSpecific, "'%1' is specific to one browser engine"},
    {CheckRule::VendorSpecific, "At-rule '%1' is specific to one browser engine"},
    {CheckRule::DuplicateProperty, "'%1' is set twice in this rule"},
    {CheckRule::EmptyRule, "Empty rule"},
};
static_assert(std::size(Messages) == size_t(CheckMessage::Count));

} // namespace

const RuleInfo &InfoOf(CheckRule rule)
{
    return Rules[size_t(rule)];
}

QString RuleId(CheckRule rule)
{
    return QLatin1String(InfoOf(rule).id);
}

bool ReportedAt(CheckRule rule, CheckLevel level)
{
    return level == CheckLevel::Css1 || !InfoOf(rule).css1Only;
}

CheckRule RuleOf(CheckMessage message)
{
    return Messages[size_t(message)].rule;
}

QString MessageText(CheckMessage message, const QString &a, const QString &b)
{
    const QLatin1String text(Messages[size_t(message)].text);
    // Filled in one pass, so that a "%2" inside the first argument stays as written.
    QString out;
    out.reserve(text.size() + a.size() + b.size());
    qsizetype from = 0;
    for (qsizetype i = text.indexOf(u'%'); i >= 0 && i + 1 < text.size(); i = text.indexOf(u'%', i + 1)) {
        const char digit = text[i + 1].toLatin1();
        if (digit != '1' && digit != '2')
            continue;
        out += text.sliced(from, i - from);
        out += digit == '1' ? a : b;
        from = i + 2;
        ++i;
    }
    out += text.sliced(from);
    return out;
}

} // namespace sheetsmith
