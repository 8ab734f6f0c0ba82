#pragma once

#include <vector>

// Positions 1..n, each present or taken. Finds the position of the r-th present one and takes
// positions in O(log n) (a Fenwick tree of counts), so a draw of many from a large pool never
// walks a list.
class RankTree
{
public:
    explicit RankTree(int n);

    int size() const { return static_cast<int>(counts.size()) - 1; }
    int presentCount() const { return present; }

    // Position (1-based) of the present entry with zero-based rank r in position order;
    // 0 when r is not below presentCount().
    int positionOfRank(int r) const;
    // Marks a present position taken.
    void take(int position);

private:
    std::vector<int> counts; // counts[0] unused
    int topBit = 0;          // highest power of two not above size()
    int present = 0;
};
