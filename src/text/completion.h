#pragma once

#include "text/commentmarkers.h"

#include <QString>
#include <QStringList>
#include <QStringView>

namespace sheetsmith {

// What the editor may offer to complete at the caret, decided from the text alone.
//
// A property name is offered where a declaration begins: the caret stands at the end
// of a word of letters and hyphens, and before that word (blanks, line breaks and
// comments aside) comes the "{" of a rule or a ";" inside one. A keyword is offered
// where a value begins: before the word come ":" and a property name at the start of
// a declaration. Nothing is offered in a comment, a string or a url, outside blocks (a
// selector, an at-rule's statement or the block of @media, whose content is rules),
// after a value has begun (a blank or any other character in the value before the
// word), or in the middle of a word or a name ("col_or", "a\41"). When in doubt the
// answer is None: completion must never take a key the author meant for the text.
//
// In a selector (at the top level, after a block or an at-rule's ";", or among the
// rules of @media, @supports and the other at-rules that hold rules), a class is
// offered after ".", an id after "#", and an element name for a word that begins a
// selector or follows a combinator, a "," or the "(" of :not(), :is(), :where() or
// :has(). Not in an attribute selector's brackets, an at-rule's prelude, a
// declaration block, a comment or a string, and not for a name with an escape.
struct CompletionContext
{
    enum Kind { None, Property, Value, Element, Class, Id };
    Kind kind = None;
    // The 0-based offset and the text of the word before the caret that a chosen
    // entry replaces (empty right after a property name's ": ", and right after the
    // "." or "#" of a class or an id, which are not part of the word).
    qsizetype wordStart = 0;
    QString word;
    // For Value: the declaration's property name, in lower case.
    QString property;
};

// The text is read as CSS reads it (text/csslexer.h), from a place before the caret's
// block that markers, the comment markers of text (FindCommentMarkers), show to be safe
// to start at (CssSafeStart), so the cost grows with the block around the caret and
// its lines, not with the whole text. Where no such place lies near enough (deep into
// a line of a quarter of a million characters), nothing is offered. A name directly
// before a "(" is a function's, and takes no completion.
CompletionContext CompletionContextAt(QStringView text, const CommentMarkerPositions &markers, qsizetype caret);

// The names that begin with prefix (ignoring case), the most fitting first: the
// shortest completion first, then in alphabetical order.
QStringList PropertyCandidates(const QStringList &names, QStringView prefix);
// The keywords of a value list ("left|right|<length>") that begin with prefix
// (ignoring case), in the list's order; placeholders in angle brackets and a list
// without "|" (a hint, not keywords) give none.
QStringList KeywordCandidates(const QString &valueList, QStringView prefix);

} // namespace sheetsmith
