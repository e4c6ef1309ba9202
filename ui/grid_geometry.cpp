#include "ui/grid_geometry.h"

#include <algorithm>

namespace ptu {

GridGeometry::GridGeometry(int clientWidth, int clientHeight, const ModelValues& mv)
    : cw_(clientWidth), ch_(clientHeight), kxs_(mv.kxs), kys_(mv.kys), kxn_(mv.kxn), kyn_(mv.kyn)
{
    // Every model has keys, so the extent is never empty; the guard keeps a
    // broken one from dividing by zero.
    const int cols = std::max(kxn_ - kxs_, 1);
    const int rows = std::max(kyn_ - kys_, 1);
    hp_ = (cw_ - 30) / cols;
    vp_ = (ch_ / 2 - 30) / rows;
    w2_ = (2 * cw_ - 60) / 10;
    h2_ = (ch_ / 2 - 10) / rows;
}

Box GridGeometry::panel(int col, int row) const
{
    if (row < kys_ || row >= kyn_ || col < kxs_ || col >= kxn_) return {};
    return {(col - kxs_) * hp_ + 15, (row - kys_) * vp_ + 10, hp_ * 8 / 10, vp_ * 8 / 10};
}

Box GridGeometry::kpe(int i) const { return {15, ch_ / 2 + i * h2_ - 10, w2_ * 8 / 10, h2_ * 9 / 10}; }

Box GridGeometry::ked(int i) const
{
    const int width = (8 * cw_ - 240) / 10;
    return {cw_ - width - 20, ch_ / 2 + i * h2_ - 10, width, h2_ * 8 / 10};
}

int GridGeometry::kpeFontSize(int height)
{
    if (height >= 37) return 18;
    if (height >= 33) return 16;
    if (height >= 29) return 14;
    if (height >= 25) return 12;
    return 10;
}

int GridGeometry::kedFontSize(int height)
{
    if (height >= 37) return 16;
    if (height >= 33) return 14;
    if (height >= 28) return 12;
    if (height >= 24) return 10;
    return 8;
}

}  // namespace ptu
