#include "editor/TextPieces.h"

#include <algorithm>

TextPieces TextPieces::range(qsizetype from, qsizetype to) const
{
    from = qBound(qsizetype(0), from, size());
    to = qBound(from, to, size());
    const qsizetype split = first.size();
    const qsizetype firstFrom = std::min(from, split);
    const qsizetype firstTo = std::min(to, split);
    const qsizetype secondFrom = std::max(from, split) - split;
    const qsizetype secondTo = std::max(to, split) - split;
    return {first.sliced(firstFrom, firstTo - firstFrom), second.sliced(secondFrom, secondTo - secondFrom)};
}
