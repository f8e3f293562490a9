#pragma once

#include <QString>
#include <QtGlobal>

namespace sheetsmith {

// Against what a sheet is checked. At Css1 the check tells what is wrong in any CSS
// (errors and warnings) from what is valid CSS but not CSS level 1 (notes that say where
// it is defined); at Current only what is wrong in current CSS is reported.
enum class CheckLevel : quint8 { Css1, Current };

// "css1" or "current", as the settings store keeps the level.
QString CheckLevelKey(CheckLevel level);
// The level a stored or typed key names; nullopt-like: `ok` false for any other text.
CheckLevel CheckLevelFromKey(const QString &key, bool *ok = nullptr);

enum class ProblemKind : quint8 { Error, Warning, Note };

// "Error", "Warning" or "Note".
QString ProblemKindName(ProblemKind kind);

// The kinds of problem. Each has an id that the Problems list's tool tips and the
// command line show, one severity, and the levels it is reported at (RuleInfo).
enum class CheckRule : quint8 {
    Syntax,            // the sheet cannot be read as meant: an unclosed comment, block or string...
    BadColour,         // a colour that is wrong in any CSS: "#12", rgb(1, 2)
    UnknownProperty,   // no CSS defines the property
    InvalidValue,      // the value is not one the property allows
    UnknownAtRule,     // no CSS defines the at-rule
    UnknownSelector,   // a pseudo-class or pseudo-element no CSS defines
    DuplicateProperty, // set twice in one rule
    EmptyRule,
    NotCss1,           // valid CSS, but not CSS level 1
    CustomProperty,    // a custom property (--name), which CSS level 1 does not have
    VendorSpecific,    // a name one browser engine gives its own features (-webkit-...)
    Count
};

struct RuleInfo
{
    const char *id; // "unknown-property"
    ProblemKind kind;
    bool css1Only; // reported at CheckLevel::Css1 only
};

const RuleInfo &InfoOf(CheckRule rule);
QString RuleId(CheckRule rule);
bool ReportedAt(CheckRule rule, CheckLevel level);

// Every message the check gives, each belonging to one rule. The texts, with their
// placeholders %1 and %2, stand in one table in checkrules.cpp.
enum class CheckMessage : quint8 {
    UnclosedComment,
    UnclosedString,
    UnclosedBlock,
    StrayBrace,
    SelectorWithoutBlock,
    BlockWithoutSelector,
    NoColon,
    NoValue,             // %1 property
    BadHexColour,        // %1 the colour
    BadHexColourCurrent, // %1 the colour, where 4 and 8 digits are allowed
    BadRgb,
    UnknownProperty,     // %1 property
    UnknownPropertyNear, // %1 property, %2 the nearest known name
    Css1Disallows,       // %1 value, %2 property
    InvalidValue,        // %1 value, %2 property
    PropertyNotCss1,     // %1 property, %2 the standard
    PropertyNotCss1Unsourced, // %1 property
    ValueNotCss1,        // %1 value, %2 property
    ValueNotCss1Unchecked, // %1 value, %2 property: not judged against current CSS
    ColourNotCss1,       // %1 the colour
    AtRuleNotCss1,       // %1 at-rule
    AtRuleNotCss1Defined, // %1 at-rule, %2 the standard
    UnknownAtRule,       // %1 at-rule
    SelectorNotCss1,     // %1 the selector syntax
    NestedRuleNotCss1,
    UnknownPseudoClass,  // %1 ":name"
    UnknownPseudoElement, // %1 "::name"
    CustomPropertyNotCss1,
    VendorProperty,      // %1 property
    VendorValue,         // %1 value
    VendorSelector,      // %1 the pseudo-class or pseudo-element
    VendorAtRule,        // %1 the at-rule
    SetTwice,            // %1 property
    EmptyRule,
    Count
};

CheckRule RuleOf(CheckMessage message);
// The message's text with its placeholders filled in.
QString MessageText(CheckMessage message, const QString &a = QString(), const QString &b = QString());

} // namespace sheetsmith
