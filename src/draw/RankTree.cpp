#include "RankTree.h"

#include <cstddef>

RankTree::RankTree(int n)
    : counts(static_cast<std::size_t>(n > 0 ? n : 0) + 1), present(n > 0 ? n : 0)
{
    // Every position present: node i covers lowbit(i) positions, built in O(n).
    for (int i = 1; i <= present; ++i)
        counts[std::size_t(i)] = i & -i;
    topBit = 1;
    while (topBit * 2 <= present)
        topBit *= 2;
    if (present == 0)
        topBit = 0;
}

int RankTree::positionOfRank(int r) const
{
    if (r < 0 || r >= present)
        return 0;
    // Descends the implicit tree: the largest prefix holding at most r present entries.
    int pos = 0;
    int left = r;
    const int n = size();
    for (int step = topBit; step > 0; step /= 2) {
        const int next = pos + step;
        if (next <= n && counts[std::size_t(next)] <= left) {
            pos = next;
            left -= counts[std::size_t(next)];
        }
    }
    return pos + 1;
}

void RankTree::take(int position)
{
    const int n = size();
    for (int i = position; i <= n; i += i & -i)
        --counts[std::size_t(i)];
    --present;
}
