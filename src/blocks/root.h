#pragma once

#include "blocks/itmclass.h"

#include <QHash>
#include <QString>

#include <stdexcept>
#include <vector>

namespace sheetsmith {

// The ordered list of declaration blocks, with the position lookups the editor asks
// at the caret. Blocks are addressed by 1-based index; a block may also carry a unique
// text key (the scanner never gives one).
//
// Index order is the order of Add calls. The scanner adds blocks in ascending order of
// their "{", so index order is document order and Begins never decreases along the
// list; the lookups still walk in index order and do not rely on that.
//
// Blocks are held contiguously, so the lookups are plain forward scans.
class Root
{
public:
    // Thrown for a bad index, an unknown key or a duplicate key. These are caller
    // mistakes; an exception keeps them from being ignored by accident.
    class Error : public std::logic_error
    {
    public:
        using std::logic_error::logic_error;
    };

    using const_iterator = std::vector<ItmClass>::const_iterator;
    using iterator = std::vector<ItmClass>::iterator;

    // Appends a block. When sKey is non-empty the block can also be reached by that
    // key. Returns the new block; the reference stays valid until the list changes.
    // Throws Root::Error when sKey is already in use (nothing is added then).
    ItmClass &Add(const QString &ID, const QString &Kind, qsizetype Ends, qsizetype Begins,
                  const QString &sKey = {});

    // The block at a 1-based index, or the block with a key.
    // Throws Root::Error for an index outside 1..Count() or a key not in the list.
    ItmClass &Item(qsizetype index1);
    const ItmClass &Item(qsizetype index1) const;
    ItmClass &Item(const QString &key);
    const ItmClass &Item(const QString &key) const;

    qsizetype Count() const { return qsizetype(m_blocks.size()); }

    // Removes one block; later blocks move down one index.
    // Throws Root::Error for an index outside 1..Count() or a key not in the list.
    void Remove(qsizetype index1);
    void Remove(const QString &key);

    void Clear();

    // Replaces the `count` blocks from the 0-based index `first` by `blocks`, and moves
    // every block after them by `delta` characters: Begins, and Ends where it is not 0.
    // Keys of the replaced blocks go; later keys follow their blocks. The range is
    // clamped to the list.
    void Splice(qsizetype first, qsizetype count, std::vector<ItmClass> blocks, qsizetype delta);

    // Enumeration in index order.
    const_iterator begin() const { return m_blocks.begin(); }
    const_iterator end() const { return m_blocks.end(); }
    iterator begin() { return m_blocks.begin(); }
    iterator end() { return m_blocks.end(); }

    // Begins of the first block, in index order, whose Begins is strictly greater
    // than Cur; 0 when there is none.
    qsizetype FindNearestBegin(qsizetype Cur) const;
    // Ends of the first block, in index order, whose Ends is strictly greater than
    // Cur; 0 when there is none. A block with Ends 0 never qualifies for Cur >= 0.
    qsizetype FindNearestEnd(qsizetype Cur) const;
    // 1-based index of the last block with Begins < Cur < Ends (both strict); -1 when
    // no block contains Cur. Where blocks overlap the one whose "{" comes last wins.
    qsizetype FindCurrentBlock(qsizetype Cur) const;

private:
    qsizetype indexOfKey(const QString &key) const; // 0-based
    void checkIndex(qsizetype index1) const;

    std::vector<ItmClass> m_blocks;
    // Key of each keyed block -> its 0-based position in m_blocks.
    QHash<QString, qsizetype> m_keys;
};

} // namespace sheetsmith
