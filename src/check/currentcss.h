#pragma once

#include "check/valuematcher.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace sheetsmith {

class CssDefinitions;

// The parts of the check that its files share.
namespace checking {

// What current CSS defines, with a matcher of values over it. A matcher keeps the
// grammars it has read, so each thread that checks keeps one for the program's own
// definitions.
class CurrentCss
{
public:
    explicit CurrentCss(const CssDefinitions &definitions);

    // The one for this thread, for the program's own definitions; nullptr when they
    // could not be read.
    static CurrentCss *builtIn();

    const CssDefinitions &definitions() const { return m_definitions; }
    ValueMatcher &matcher() { return m_matcher; }

    // The property nearest to a name that is none of them, within two edits; empty when
    // none is that near. Sheets use the same few unknown names over and over, so the
    // answers are kept.
    QString nearestProperty(const QString &name);

private:
    const CssDefinitions &m_definitions;
    ValueMatcher m_matcher;
    QStringList m_names; // the CSS1 properties first, so that a tie goes to them
    QHash<QString, QString> m_nearest;
};

// The CSS1 property nearest to a name that is none of them, within two edits, when
// current CSS is not at hand; empty when none is that near.
QString nearestCss1Property(const QString &name);

} // namespace checking
} // namespace sheetsmith
