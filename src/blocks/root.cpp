#include "blocks/root.h"

#include <algorithm>
#include <string>

namespace sheetsmith {

ItmClass &Root::Add(const QString &ID, const QString &Kind, qsizetype Ends, qsizetype Begins,
                    const QString &sKey)
{
    if (!sKey.isEmpty() && m_keys.contains(sKey))
        throw Error("block key already in use: " + sKey.toStdString());
    ItmClass &block = m_blocks.emplace_back(ID, Kind, Ends, Begins);
    if (!sKey.isEmpty())
        m_keys.insert(sKey, Count() - 1);
    return block;
}

void Root::checkIndex(qsizetype index1) const
{
    if (index1 < 1 || index1 > Count())
        throw Error("block index " + std::to_string(index1) + " outside 1.."
                    + std::to_string(Count()));
}

qsizetype Root::indexOfKey(const QString &key) const
{
    const auto it = m_keys.constFind(key);
    if (it == m_keys.constEnd())
        throw Error("no block with key: " + key.toStdString());
    return it.value();
}

ItmClass &Root::Item(qsizetype index1)
{
    checkIndex(index1);
    return m_blocks[size_t(index1 - 1)];
}

const ItmClass &Root::Item(qsizetype index1) const
{
    checkIndex(index1);
    return m_blocks[size_t(index1 - 1)];
}

ItmClass &Root::Item(const QString &key)
{
    return m_blocks[size_t(indexOfKey(key))];
}

const ItmClass &Root::Item(const QString &key) const
{
    return m_blocks[size_t(indexOfKey(key))];
}

void Root::Remove(qsizetype index1)
{
    checkIndex(index1);
    const qsizetype removed = index1 - 1;
    m_blocks.erase(m_blocks.begin() + removed);
    // Keys follow their blocks: the removed block's key goes, later ones move down.
    for (auto it = m_keys.begin(); it != m_keys.end();) {
        if (it.value() == removed) {
            it = m_keys.erase(it);
        } else {
            if (it.value() > removed)
                --it.value();
            ++it;
        }
    }
}

void Root::Remove(const QString &key)
{
    Remove(indexOfKey(key) + 1);
}

void Root::Clear()
{
    m_blocks.clear();
    m_keys.clear();
}

void Root::Splice(qsizetype first, qsizetype count, std::vector<ItmClass> blocks, qsizetype delta)
{
    first = std::clamp<qsizetype>(first, 0, Count());
    count = std::clamp<qsizetype>(count, 0, Count() - first);
    const qsizetype added = qsizetype(blocks.size());
    for (auto it = m_blocks.begin() + first + count; it != m_blocks.end(); ++it) {
        it->setBegins(it->Begins() + delta);
        if (it->Ends() != 0)
            it->setEnds(it->Ends() + delta);
    }
    // The common part is assigned in place, so only a change of count moves the tail.
    const qsizetype common = std::min(count, added);
    std::move(blocks.begin(), blocks.begin() + common, m_blocks.begin() + first);
    if (count > added)
        m_blocks.erase(m_blocks.begin() + first + added, m_blocks.begin() + first + count);
    else
        m_blocks.insert(m_blocks.begin() + first + count, std::make_move_iterator(blocks.begin() + common),
                        std::make_move_iterator(blocks.end()));
    for (auto it = m_keys.begin(); it != m_keys.end();) {
        if (it.value() >= first + count) {
            it.value() += added - count;
            ++it;
        } else if (it.value() >= first) {
            it = m_keys.erase(it);
        } else {
            ++it;
        }
    }
}

qsizetype Root::FindNearestBegin(qsizetype Cur) const
{
    for (const ItmClass &b : m_blocks) {
        if (b.Begins() > Cur)
            return b.Begins();
    }
    return 0;
}

qsizetype Root::FindNearestEnd(qsizetype Cur) const
{
    for (const ItmClass &b : m_blocks) {
        if (b.Ends() > Cur)
            return b.Ends();
    }
    return 0;
}

qsizetype Root::FindCurrentBlock(qsizetype Cur) const
{
    qsizetype found = -1;
    const qsizetype n = Count();
    for (qsizetype i = 0; i < n; ++i) {
        const ItmClass &b = m_blocks[size_t(i)];
        if (b.Begins() < Cur && Cur < b.Ends())
            found = i + 1;
    }
    return found;
}

} // namespace sheetsmith
