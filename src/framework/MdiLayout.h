#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace fw {

// Where child windows go inside the MDI client area, as a desktop MDI
// program places them. `space` is the client area, `step` the offset from
// one cascaded window to the next (a title bar's height).

// The place of the next new window: `index` steps down and right from the
// top left. A window that would leave the area there starts over at the top
// left; *index gets the index of the window after this one.
QRect newChildGeometry(int* index, QSize size, const QRect& space, int step);

// The cascade of `count` windows, bottom of the stack first: each one step
// down and right of the one before, all of one size, as large as the
// cascade allows and at least 60% of the area each way. When the steps
// would leave less, they shrink (to no less than `minStep`); past that the
// cascade starts a new round at the top, shifted right.
QList<QRect> cascadeGeometries(int count, const QRect& space, int step, int minStep);

// A remembered place brought onto the area: no larger than the area, and
// moved in until the whole window lies inside it (a place from a larger
// screen, or one off every edge, comes back whole).
QRect clampPlace(const QRect& place, const QRect& space);

} // namespace fw
