#pragma once

#include "text/csslexer.h"

#include <QStringView>

#include <algorithm>
#include <cstddef>
#include <limits>
#include <vector>

namespace sheetsmith::checking {

// Whether a block, inside which a "{" opens at `brace`, is closed before the text ends:
// then that "{" opens a rule inside the rule, as current CSS reads it. A block that is
// not closed within a long stretch has a "}" missing where a rule follows it, as CSS
// level 1 reads it. The stretch is bounded so that a missing "}" costs little to find
// however long the sheet.
constexpr qsizetype kNestingLookahead = 64 * 1024;

// The braces of a text from some "{" on, each with the depth after it, lexed once as far
// as asked; tells for any "{" after that start whether the block it stands in closes
// within a stretch. A minimum tree over the depths finds the first place the depth falls
// below the block's, so that a run of blocks never closed costs a logarithm each, not a
// stretch each.
class BraceIndex
{
public:
    explicit BraceIndex(QStringView text) : m_text(text) {}

    // Whether the block inside which a "{" opens at `brace` closes before
    // brace + kNestingLookahead; `reached` tells how far the answer depends on the text.
    bool closes(qsizetype brace, qsizetype &reached)
    {
        const qsizetype n = m_text.size();
        if (m_offsets.empty() || brace < m_offsets.front()) {
            *this = BraceIndex(m_text);
            m_lexed = brace;
        }
        const qsizetype window = brace + kNestingLookahead;
        extendTo(window);
        const auto at = std::lower_bound(m_offsets.begin(), m_offsets.end(), brace);
        if (at == m_offsets.end() || *at != brace) {
            reached = n + 1;
            return false;
        }
        const std::size_t i = std::size_t(at - m_offsets.begin());
        const int outer = m_depths[i] - 2; // the depth once the block around the "{" has closed
        const std::size_t end = std::size_t(std::lower_bound(m_offsets.begin(), m_offsets.end(), window) - m_offsets.begin());
        const std::size_t close = firstAtMost(i + 1, end, outer);
        if (close < end) {
            reached = m_offsets[close] + 1;
            return true;
        }
        // The end of the text counts as read: a sheet that grows may close the block.
        reached = m_done || window > n ? n + 1 : window;
        return false;
    }

private:
    void extendTo(qsizetype limit)
    {
        if (m_done)
            return;
        CssLexer lexer(m_text, m_lexed);
        while (!lexer.atEnd() && lexer.position() < limit) {
            const CssToken t = lexer.next();
            if (t.type == CssTokenType::OpenCurly || t.type == CssTokenType::CloseCurly) {
                m_depth += t.type == CssTokenType::OpenCurly ? 1 : -1;
                append(t.offset, m_depth);
            } else if (t.type == CssTokenType::Comment && t.unclosed) {
                m_done = true; // nothing after it is read as braces
                return;
            }
        }
        m_lexed = lexer.position();
        m_done = lexer.atEnd();
    }

    void append(qsizetype offset, int depth)
    {
        const std::size_t i = m_offsets.size();
        m_offsets.push_back(offset);
        m_depths.push_back(depth);
        if (i >= m_leaves) {
            // Twice the room, the tree built again from the depths.
            m_leaves = std::max<std::size_t>(64, m_leaves * 2);
            m_tree.assign(2 * m_leaves, std::numeric_limits<int>::max());
            for (std::size_t k = 0; k < m_depths.size(); ++k)
                m_tree[m_leaves + k] = m_depths[k];
            for (std::size_t k = m_leaves - 1; k > 0; --k)
                m_tree[k] = std::min(m_tree[2 * k], m_tree[2 * k + 1]);
            return;
        }
        std::size_t k = m_leaves + i;
        m_tree[k] = depth;
        for (k /= 2; k > 0; k /= 2)
            m_tree[k] = std::min(m_tree[2 * k], m_tree[2 * k + 1]);
    }

    // The first index in [from, to) whose depth is at most `most`, or `to`.
    std::size_t firstAtMost(std::size_t from, std::size_t to, int most) const
    {
        return from < to ? find(1, 0, m_leaves, from, to, most) : to;
    }

    std::size_t find(std::size_t node, std::size_t lo, std::size_t hi, std::size_t from, std::size_t to, int most) const
    {
        if (hi <= from || lo >= to || m_tree[node] > most)
            return to;
        if (hi - lo == 1)
            return lo;
        const std::size_t mid = (lo + hi) / 2;
        const std::size_t left = find(2 * node, lo, mid, from, to, most);
        return left < to ? left : find(2 * node + 1, mid, hi, from, to, most);
    }

    QStringView m_text;
    qsizetype m_lexed = 0;
    bool m_done = false;
    int m_depth = 0;
    std::vector<qsizetype> m_offsets;
    std::vector<int> m_depths;
    std::vector<int> m_tree;
    std::size_t m_leaves = 0;
};

} // namespace sheetsmith::checking
