#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace sheetsmith {

// Whether CSS level 1 allows a value for one of its 53 properties, judged as strictly as
// a CSS1-only checker would: later keywords ("inherit", "inline-block"), functions other
// than url() and rgb(), and units other than the eight lengths and "%" are refused.

// A fault inside a value that is an error whatever the property: a colour written "#"
// with other than 3 or 6 hexadecimal digits, or an rgb() with other than three numbers
// or three percentages. Offsets are into the value text given.
struct ValueFault
{
    enum Kind { BadHexColour, BadRgb } kind;
    qsizetype offset = 0;
    qsizetype length = 0;
};

struct ValueJudgement
{
    QList<ValueFault> faults; // in text order
    bool allowed = true;      // false whenever faults is non-empty
};

// `property`: a CSS1 property name in lower case. `value`: the declaration's value, with
// comments already replaced by blanks (so offsets stay) and any trailing "!important"
// already removed; it may have blanks around it.
//
// Faults are reported for any property, known or not. Without faults, a property that is
// not one of the 53 gives allowed = true (the caller reports unknown names itself), and
// an empty or blank value is not allowed for any of the 53.
//
// Keywords, units and the names url and rgb compare without regard to case. A length is
// a number with one of em, ex, px, in, cm, mm, pt, pc, or a zero without unit. Negative
// numbers are refused where a property cannot take them (padding, border widths,
// font-size, line-height, width, height); "-0" counts as zero, not as negative.
ValueJudgement JudgeCss1Value(const QString &property, QStringView value);

// Whether the name is one of the 53 CSS1 properties (lower case expected; other cases
// are accepted too).
bool IsCss1Property(QStringView name);
// The 53 names, in the order of the property list.
const QStringList &Css1PropertyNames();

} // namespace sheetsmith
