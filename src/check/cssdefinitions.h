#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace sheetsmith {

// What current CSS defines: its properties, value types, functions, at-rules and
// selectors, each with its value syntax (in the CSS value definition syntax) where it
// has one and the standard that defines it. The program's copy is made at build
// time from the W3C's machine-readable definitions and compiled in (builtIn()); a copy
// that cannot be read leaves the definitions empty with error() saying why, and the
// check then judges against CSS level 1 alone.
class CssDefinitions
{
public:
    struct Definition
    {
        QString name;   // as defined: "background-color", "length-percentage", "rgb", "media", "hover"
        QString syntax; // empty when the definition gives none (prose only)
        int standard = -1; // index into standards(), -1 when not known
    };

    struct Standard
    {
        QString title; // "CSS Positioned Layout Module Level 3"
        QString url;   // "https://drafts.csswg.org/css-position-3/"
    };

    // The compact form is UTF-8 text of tab-separated lines: first FormatName, a blank
    // and FormatVersion; then "source" and where the definitions come from; "standard",
    // title and url, once for each standard, before any definition names it; then
    // one line per definition: its kind ("property", "type", "function", "at-rule",
    // "pseudo-class", "pseudo-element"), name, the index of its standard (empty when not
    // known) and syntax (empty when none). Every line ends with a line feed.
    static constexpr const char *FormatName = "sheetsmith-css-definitions";
    static constexpr int FormatVersion = 2;

    CssDefinitions() = default;

    // The definitions compiled into the program, read once on first use (from any
    // thread).
    static const CssDefinitions &builtIn();
    // Reads definitions from the compact form the build makes. On any fault the result
    // is empty and error() says what was wrong.
    static CssDefinitions fromData(const QByteArray &data);

    bool isEmpty() const { return m_properties.isEmpty(); }
    QString error() const { return m_error; }
    // Where the definitions come from, e.g. "@webref/css 8.7.8, web-specs 4.16.0".
    QString source() const { return m_source; }

    // Each lookup takes the name in lower case, without its decorations: a property
    // "position", a type "length" (no angle brackets), a function "rgb" (no "()"), an
    // at-rule "media" (no "@"), a pseudo-class "hover" and a pseudo-element "before"
    // (no colons; a functional one without "()", such as "not"). Type names keep their
    // case ("CDC-token", "image-1D"), so they are looked up as given.
    const Definition *property(QStringView name) const;
    const Definition *type(QStringView name) const;
    const Definition *function(QStringView name) const;
    const Definition *atRule(QStringView name) const;
    const Definition *pseudoClass(QStringView name) const;
    const Definition *pseudoElement(QStringView name) const;

    // Every property's name, in no particular order.
    QStringList propertyNames() const { return m_properties.keys(); }

    const std::vector<Standard> &standards() const { return m_standards; }
    // The title of the standard that defines d, or empty when not known.
    QString standardTitle(const Definition &d) const;

private:
    QString m_error;
    QString m_source;
    std::vector<Standard> m_standards;
    QHash<QString, Definition> m_properties;
    QHash<QString, Definition> m_types;
    QHash<QString, Definition> m_functions;
    QHash<QString, Definition> m_atRules;
    QHash<QString, Definition> m_pseudoClasses;
    QHash<QString, Definition> m_pseudoElements;
};

} // namespace sheetsmith
