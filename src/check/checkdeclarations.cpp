#include "check/checker.h"

#include "check/cssdefinitions.h"
#include "check/valuegrammar.h"

namespace sheetsmith::checking {

namespace {

// A value as a message shows it: on one line, and not without end.
QString quoted(QStringView value)
{
    QString out = value.left(200).toString().simplified();
    if (out.size() > 60 || value.size() > 200)
        out = out.left(57) + QStringLiteral("...");
    return out;
}

} // namespace

bool Checker::holdsVendorName(qsizetype from, qsizetype to) const
{
    CssLexer lexer(m_text.first(to), from);
    while (!lexer.atEnd()) {
        const CssToken t = lexer.next();
        if ((t.type == CssTokenType::Ident || t.type == CssTokenType::Function)
            && isVendorName(m_text.sliced(t.offset, t.length)))
            return true;
    }
    return false;
}

void Checker::badHexColours(qsizetype from, qsizetype to)
{
    CssLexer lexer(m_text.first(to), from);
    while (!lexer.atEnd()) {
        const CssToken t = lexer.next();
        if (t.type != CssTokenType::Hash)
            continue;
        const QStringView digits = m_text.sliced(t.offset + 1, t.length - 1);
        const bool hex = std::all_of(digits.begin(), digits.end(), [](QChar c) {
            const char16_t l = c.unicode() | 0x20;
            return (c >= u'0' && c <= u'9') || (l >= u'a' && l <= u'f');
        });
        const qsizetype n = digits.size();
        if (!hex || !(n == 3 || n == 4 || n == 6 || n == 8))
            add(t.offset, t.length, CheckMessage::BadHexColourCurrent, shown(t.offset, t.end()));
    }
}

void Checker::declaration(qsizetype from, qsizetype to, Declarations &state, bool judge)
{
    // The declaration's tokens, blanks and comments aside: where it starts and ends,
    // its first ":", and the last three, which may be a value's "!important".
    qsizetype first = -1;
    qsizetype last = from;
    qsizetype colon = -1;
    qsizetype nameEnd = -1;
    qsizetype valueStart = -1;
    int nameTokens = 0;
    CssToken nameToken;
    bool commented = false; // a comment inside the value
    CssToken recent[3];     // the last significant tokens, the latest first
    int seen = 0;
    CssLexer lexer(m_text.first(to), from);
    while (!lexer.atEnd()) {
        const CssToken t = lexer.next();
        if (t.type == CssTokenType::Whitespace)
            continue;
        if (t.type == CssTokenType::Comment) {
            commented = commented || colon >= 0;
            continue;
        }
        if (first < 0)
            first = t.offset;
        if (colon < 0 && t.type == CssTokenType::Colon) {
            colon = t.offset;
            nameEnd = last;
        } else if (colon < 0) {
            nameToken = t;
            ++nameTokens;
        } else if (valueStart < 0) {
            valueStart = t.offset;
        }
        last = t.end();
        recent[2] = recent[1];
        recent[1] = recent[0];
        recent[0] = t;
        ++seen;
    }
    if (first < 0)
        return;
    ++state.count;
    if (colon < 0) {
        add(first, last - first, CheckMessage::NoColon);
        return;
    }
    if (nameEnd < first)
        nameEnd = first; // nothing before the ":"
    const QString written = shown(first, nameEnd);
    const bool oneName = nameTokens == 1 && nameToken.type == CssTokenType::Ident;
    const QString name = (oneName ? CssTokenValue(m_text, nameToken) : written).toLower();
    // "!important" may follow any value.
    qsizetype valueEnd = valueStart < 0 ? colon + 1 : last;
    if (valueStart < 0)
        valueStart = colon + 1;
    if (seen >= 2 && recent[0].type == CssTokenType::Ident && CssTokenIs(m_text, recent[0], "important")
        && recent[1].type == CssTokenType::Delim && m_text[recent[1].offset] == u'!') {
        valueEnd = seen >= 3 && recent[2].offset >= valueStart ? recent[2].end() : valueStart;
    }

    if (oneName && name.startsWith(u"--")) {
        // Any value, even none, is a custom property's; CSS level 1 has none of them,
        // which one note per rule says.
        if (!state.customNoted) {
            state.customNoted = true;
            add(first, nameEnd - first, CheckMessage::CustomPropertyNotCss1);
        }
        return;
    }
    if (isVendorName(name)) {
        add(first, nameEnd - first, CheckMessage::VendorProperty, written);
        return;
    }
    const bool css1 = IsCss1Property(name);
    const CssDefinitions::Definition *defined = m_current ? m_current->definitions().property(name) : nullptr;
    if (!css1 && !defined) {
        const QString near = m_current ? m_current->nearestProperty(name) : nearestCss1Property(name);
        add(first, nameEnd - first, near.isEmpty() ? CheckMessage::UnknownProperty : CheckMessage::UnknownPropertyNear,
            written, near, near);
        return;
    }
    if (valueEnd <= valueStart) {
        add(first, last - first, CheckMessage::NoValue, written);
        return;
    }
    if (!css1) {
        const QString standard = m_current->definitions().standardTitle(*defined);
        add(first, nameEnd - first, standard.isEmpty() ? CheckMessage::PropertyNotCss1Unsourced : CheckMessage::PropertyNotCss1,
            written, standard);
    }

    bool plain = false;
    if (judge) {
        if (css1 && (m_level == CheckLevel::Css1 || !m_current)) {
            // The value with its comments made blanks, so that offsets stay.
            QString copy;
            QStringView value = m_text.sliced(valueStart, valueEnd - valueStart);
            if (commented) {
                copy = value.toString();
                CssLexer inside(copy);
                while (!inside.atEnd()) {
                    const CssToken t = inside.next();
                    if (t.type == CssTokenType::Comment)
                        copy.replace(t.offset, t.length, QString(t.length, u' '));
                }
                value = copy;
            }
            plain = css1Value(name, value, valueStart);
        } else {
            const ValueMatcher::Verdict verdict = currentVerdict(name, valueStart, valueEnd);
            if (verdict == ValueMatcher::Verdict::Invalid) {
                if (holdsVendorName(valueStart, valueEnd)) {
                    add(valueStart, valueEnd - valueStart, CheckMessage::VendorValue,
                        quoted(m_text.sliced(valueStart, valueEnd - valueStart)));
                } else {
                    const std::size_t before = m_out.size();
                    badHexColours(valueStart, valueEnd);
                    if (m_out.size() == before)
                        add(valueStart, valueEnd - valueStart, CheckMessage::InvalidValue,
                            quoted(m_text.sliced(valueStart, valueEnd - valueStart)), name);
                }
            }
        }
    }

    // Set twice: a mistake when the second value plainly replaces the first; not when
    // it is the same value, or one that only some browsers read, written after a
    // fallback for the others.
    const QString value = m_text.sliced(valueStart, valueEnd - valueStart).toString().simplified();
    const qsizetype earlier = state.seen.indexOf(name);
    if (earlier < 0) {
        state.seen << name;
        state.plain << plain;
        state.values << value;
        return;
    }
    if (state.values[earlier] == value || (plain && state.plain[earlier]))
        add(first, nameEnd - first, CheckMessage::SetTwice, name);
    state.plain[earlier] = plain;
    state.values[earlier] = value;
}

bool Checker::css1Value(const QString &name, QStringView value, qsizetype valueStart)
{
    const ValueJudgement judgement = JudgeCss1Value(name, value);
    if (judgement.allowed)
        return true;
    // Later CSS is judged only where CSS level 1 refuses.
    const qsizetype length = value.size();
    ValueMatcher::Verdict verdict = ValueMatcher::Verdict::Unknown;
    bool judged = false;
    const auto current = [&] {
        if (!judged) {
            verdict = currentVerdict(name, valueStart, valueStart + length);
            judged = true;
        }
        return verdict;
    };
    bool errors = false;
    for (const ValueFault &fault : judgement.faults) {
        const QStringView faulty = value.mid(fault.offset, fault.length);
        const qsizetype at = valueStart + fault.offset;
        if (fault.kind == ValueFault::BadHexColour) {
            const qsizetype digits = faulty.size() - 1;
            const bool hex = std::all_of(faulty.begin() + 1, faulty.end(), [](QChar c) {
                const char16_t l = c.unicode() | 0x20;
                return (c >= u'0' && c <= u'9') || (l >= u'a' && l <= u'f');
            });
            if (m_current && hex && (digits == 4 || digits == 8)) {
                add(at, fault.length, CheckMessage::ColourNotCss1, faulty.toString());
            } else {
                add(at, fault.length, CheckMessage::BadHexColour, faulty.toString());
                errors = true;
            }
        } else if (m_current && current() == ValueMatcher::Verdict::Valid) {
            add(at, fault.length, CheckMessage::ColourNotCss1, quoted(faulty));
        } else {
            add(at, fault.length, CheckMessage::BadRgb);
            errors = true;
        }
    }
    if (errors || !m_current) {
        if (!errors)
            add(valueStart, length, CheckMessage::Css1Disallows, quoted(value), name);
        return false;
    }
    switch (current()) {
    case ValueMatcher::Verdict::Valid:
        if (judgement.faults.isEmpty()) {
            // A lone colour of later CSS says so as a colour.
            const bool colourProperty = JudgeCss1Value(name, u"red").allowed;
            const QString shownValue = quoted(value);
            const bool cssWide = QStringList{QStringLiteral("initial"), QStringLiteral("inherit"), QStringLiteral("unset"),
                                             QStringLiteral("revert"), QStringLiteral("revert-layer")}
                                     .contains(shownValue.toLower());
            const bool lone = !cssWide
                              && (!shownValue.contains(u' ') || shownValue.startsWith(u"rgb", Qt::CaseInsensitive)
                                  || shownValue.startsWith(u"hsl", Qt::CaseInsensitive));
            add(valueStart, length, colourProperty && lone ? CheckMessage::ColourNotCss1 : CheckMessage::ValueNotCss1,
                shownValue, name);
        }
        break;
    case ValueMatcher::Verdict::Invalid:
        if (holdsVendorName(valueStart, valueStart + length))
            add(valueStart, length, CheckMessage::VendorValue, quoted(value));
        else
            add(valueStart, length, CheckMessage::Css1Disallows, quoted(value), name);
        break;
    case ValueMatcher::Verdict::Unknown:
        add(valueStart, length, CheckMessage::ValueNotCss1Unchecked, quoted(value), name);
        break;
    }
    return false;
}

} // namespace sheetsmith::checking
