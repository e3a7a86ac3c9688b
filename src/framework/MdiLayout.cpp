#include "framework/MdiLayout.h"

#include <algorithm>

namespace fw {

QRect newChildGeometry(int* index, QSize size, const QRect& space, int step)
{
    step = std::max(step, 1);
    // Never larger than the area, so it fits at the top left at least.
    size = size.boundedTo(space.size()).expandedTo(QSize(1, 1));
    const int offset = std::max(*index, 0) * step;
    QRect place(space.topLeft() + QPoint(offset, offset), size);
    if (!space.contains(place)) {
        place.moveTopLeft(space.topLeft());
        *index = 0;
    }
    ++*index;
    return place;
}

QList<QRect> cascadeGeometries(int count, const QRect& space, int step, int minStep)
{
    QList<QRect> places;
    if (count <= 0 || space.isEmpty())
        return places;
    minStep = std::max(minStep, 1);
    step = std::max(step, minStep);
    const QSize least(space.width() * 3 / 5, space.height() * 3 / 5);
    // The room the steps may take, leaving the least size free.
    const int room = std::min(space.width() - least.width(), space.height() - least.height());
    // Closer steps first, so every title bar shows; a new round after that.
    if (count > 1 && (count - 1) * step > room)
        step = std::max(minStep, room / (count - 1));
    const int perRound = std::clamp(room / step + 1, 1, count);
    const int rounds = (count + perRound - 1) / perRound;
    // Later rounds start further right, by a few steps each.
    const int roomRight = space.width() - least.width() - (perRound - 1) * step;
    const int shift = rounds > 1 ? std::clamp(roomRight / (rounds - 1), 0, 4 * step) : 0;
    const QSize size(space.width() - (perRound - 1) * step - (rounds - 1) * shift,
                     space.height() - (perRound - 1) * step);
    for (int i = 0; i < count; ++i) {
        const int round = i / perRound;
        const int k = i % perRound;
        places << QRect(space.topLeft() + QPoint(round * shift + k * step, k * step), size);
    }
    return places;
}

QRect clampPlace(const QRect& place, const QRect& space)
{
    if (space.isEmpty())
        return place;
    const QSize size = place.size().boundedTo(space.size()).expandedTo(QSize(1, 1));
    const int x = std::clamp(place.x(), space.left(), space.left() + space.width() - size.width());
    const int y = std::clamp(place.y(), space.top(), space.top() + space.height() - size.height());
    return QRect(QPoint(x, y), size);
}

} // namespace fw
