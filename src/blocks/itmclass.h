#pragma once

#include <QString>

#include <utility>

namespace sheetsmith {

// One declaration block of the sheet as the scanner found it: the selector text in
// front of its "{", the selector kind, and where the block lies in the editor text.
//
// Positions are in the editor's CR LF text model. `Begins` is the 0-based caret offset
// of the first character of the line holding the "{"; `Ends` is the 1-based position of
// the closing "}" (numerically the caret offset just after it), or 0 when that brace is
// missing or commented out. A block therefore covers the caret offsets Begins..Ends.
//
// A plain value: the accessors store and return, nothing is validated.
class ItmClass
{
public:
    ItmClass() = default;
    ItmClass(QString id, QString kind, qsizetype ends, qsizetype begins)
        : m_id(std::move(id)), m_kind(std::move(kind)), m_ends(ends), m_begins(begins)
    {
    }

    // The selector text with blanks and comments removed, e.g. "H1,H2" or ".note".
    const QString &ID() const { return m_id; }
    void setID(const QString &vData) { m_id = vData; }

    // "Element", "Class" or "ID".
    const QString &Kind() const { return m_kind; }
    void setKind(const QString &vData) { m_kind = vData; }

    qsizetype Ends() const { return m_ends; }
    void setEnds(qsizetype vData) { m_ends = vData; }

    qsizetype Begins() const { return m_begins; }
    void setBegins(qsizetype vData) { m_begins = vData; }

private:
    QString m_id;
    QString m_kind;
    qsizetype m_ends = 0;
    qsizetype m_begins = 0;
};

} // namespace sheetsmith
