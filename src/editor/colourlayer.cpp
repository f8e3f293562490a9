#include "editor/colourlayer.h"

#include <algorithm>
#include <limits>

namespace sheetsmith {

ColourLayer::ColourLayer()
{
    m_palette.push_back(kAutoColour);
    m_paletteIndex.insert(kAutoColour, 0);
}

ColourValue ColourLayer::at(qsizetype pos) const
{
    if (pos < 0 || pos >= size())
        return kAutoColour;
    return m_palette[m_indexes[size_t(pos)]];
}

void ColourLayer::reset(qsizetype length)
{
    ++m_revision;
    m_indexes.assign(size_t(std::max<qsizetype>(length, 0)), 0);
    m_palette.resize(1);
    m_paletteIndex.clear();
    m_paletteIndex.insert(kAutoColour, 0);
}

void ColourLayer::assign(const std::vector<ColourValue> &colours)
{
    reset(qsizetype(colours.size()));
    for (size_t i = 0; i < colours.size(); ++i)
        m_indexes[i] = indexOf(colours[i]);
}

void ColourLayer::assignIndexed(const std::vector<quint8> &indexes, const std::vector<ColourValue> &palette)
{
    reset(qsizetype(indexes.size()));
    std::vector<quint16> own(palette.size());
    for (size_t i = 0; i < palette.size(); ++i)
        own[i] = indexOf(palette[i]);
    for (size_t i = 0; i < indexes.size(); ++i)
        m_indexes[i] = indexes[i] < own.size() ? own[indexes[i]] : 0;
}

bool ColourLayer::fill(qsizetype pos, qsizetype count, ColourValue colour)
{
    const qsizetype from = std::clamp<qsizetype>(pos, 0, size());
    const qsizetype to = std::clamp<qsizetype>(pos + std::max<qsizetype>(count, 0), from, size());
    if (from == to)
        return false;
    const quint16 index = indexOf(colour);
    const auto first = m_indexes.begin() + from;
    const auto last = m_indexes.begin() + to;
    if (std::all_of(first, last, [index](quint16 i) { return i == index; }))
        return false;
    std::fill(first, last, index);
    ++m_revision;
    return true;
}

bool ColourLayer::replace(qsizetype pos, qsizetype removed, qsizetype added, ColourValue inserted)
{
    if (pos < 0 || removed < 0 || added < 0 || pos + removed > size())
        return false;
    const quint16 index = indexOf(inserted);
    ++m_revision;
    const auto at = m_indexes.begin() + pos;
    const qsizetype common = std::min(removed, added);
    std::fill(at, at + common, index);
    if (removed > added)
        m_indexes.erase(at + common, at + removed);
    else if (added > removed)
        m_indexes.insert(at + common, size_t(added - removed), index);
    return true;
}

void ColourLayer::forEachRun(qsizetype pos, qsizetype count,
                             const std::function<void(qsizetype, qsizetype, ColourValue)> &visit) const
{
    const qsizetype from = std::clamp<qsizetype>(pos, 0, size());
    const qsizetype to = std::clamp<qsizetype>(pos + std::max<qsizetype>(count, 0), from, size());
    qsizetype runStart = from;
    while (runStart < to) {
        const quint16 index = m_indexes[size_t(runStart)];
        qsizetype runEnd = runStart + 1;
        while (runEnd < to && m_indexes[size_t(runEnd)] == index)
            ++runEnd;
        visit(runStart, runEnd - runStart, m_palette[index]);
        runStart = runEnd;
    }
}

bool ColourLayer::isAllAutomatic() const
{
    return std::all_of(m_indexes.begin(), m_indexes.end(), [](quint16 i) { return i == 0; });
}

quint16 ColourLayer::indexOf(ColourValue colour)
{
    if (!isValidColour(colour))
        colour = kAutoColour;
    const auto found = m_paletteIndex.constFind(colour);
    if (found != m_paletteIndex.constEnd())
        return found.value();
    if (m_palette.size() > std::numeric_limits<quint16>::max())
        compactPalette();
    if (m_palette.size() > std::numeric_limits<quint16>::max())
        return 0; // every index in use: the colour cannot be kept, the text is unaffected
    const auto index = quint16(m_palette.size());
    m_palette.push_back(colour);
    m_paletteIndex.insert(colour, index);
    return index;
}

void ColourLayer::compactPalette()
{
    // Drops palette entries no character uses any more, renumbering the rest.
    std::vector<quint16> remap(m_palette.size(), 0);
    std::vector<bool> used(m_palette.size(), false);
    used[0] = true;
    for (const quint16 i : m_indexes)
        used[i] = true;
    std::vector<ColourValue> palette;
    m_paletteIndex.clear();
    for (size_t i = 0; i < m_palette.size(); ++i) {
        if (!used[i])
            continue;
        remap[i] = quint16(palette.size());
        m_paletteIndex.insert(m_palette[i], quint16(palette.size()));
        palette.push_back(m_palette[i]);
    }
    m_palette = std::move(palette);
    for (quint16 &i : m_indexes)
        i = remap[i];
}

} // namespace sheetsmith
