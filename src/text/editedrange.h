#pragma once

#include "text/textmodel.h"

#include <algorithm>

namespace sheetsmith {

// The part of a text that changed since some earlier moment, gathered change by change:
// nothing before `from` changed, and the text from `to` on is the earlier text from
// `to - delta` on (delta being the change of length). Empty until the first change.
// Gathering may take in more than really changed, never less.
struct EditedRange
{
    bool any = false;
    qsizetype from = 0;
    qsizetype to = 0;
    qsizetype delta = 0;

    void add(const TextModel::Change &change)
    {
        const qsizetype end = change.from + change.added;
        if (!any) {
            *this = {true, change.from, end, change.added - change.removed};
            return;
        }
        // The old end moves with the text after the change; one inside the removed part
        // ends up at the end of what was added.
        qsizetype movedTo = to;
        if (to >= change.from + change.removed)
            movedTo = to + change.added - change.removed;
        else if (to > change.from)
            movedTo = end;
        from = std::min(from, change.from);
        to = std::max(movedTo, end);
        delta += change.added - change.removed;
    }
};

} // namespace sheetsmith
