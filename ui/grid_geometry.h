// Where the key panels and the two columns of row boxes sit in the main
// window's client area. Integer arithmetic throughout, divisions truncating,
// so the grid lands on the same pixels on every run.
#pragma once

#include "keydata/state.h"

namespace ptu {

struct Box {
    int left = 0, top = 0, width = 0, height = 0;
};

class GridGeometry {
public:
    GridGeometry(int clientWidth, int clientHeight, const ModelValues& mv);

    // Cell pitch of the key panels; the grid takes the upper half.
    int hpitch() const { return hp_; }
    int vpitch() const { return vp_; }
    // Pitch of the row boxes.
    int boxWidthPitch() const { return w2_; }
    int boxHeightPitch() const { return h2_; }

    // A key panel; cells outside the model's extent get no size.
    Box panel(int col, int row) const;
    // The key-name box and the key-text box of grid row i.
    Box kpe(int i) const;
    Box ked(int i) const;

    // Font sizes by a box's height, and of the panels' captions.
    static int kpeFontSize(int height);
    static int kedFontSize(int height);
    int panelFontSize() const { return cw_ > 700 ? 10 : 8; }

private:
    int cw_, ch_;
    int kxs_, kys_, kxn_, kyn_;
    int hp_, vp_, w2_, h2_;
};

}  // namespace ptu
