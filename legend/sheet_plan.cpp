#include "legend/sheet_plan.h"

#include "keydata/keypos.h"

#include <algorithm>
#include <cmath>

namespace ptu::legend {

std::vector<int> pagesInUse(const ModelValues& mv)
{
    std::vector<int> pages;
    const int shown = knownModel(mv.kbt_f) ? pn[mv.kbt_f] : 1;
    for (int p : {0, 1, 2, 3, 5})
        if (p < shown) pages.push_back(p);
    return pages;
}

std::string pageName(int page) { return std::string("Page ") + (page == 5 ? 'P' : char('1' + page)); }

bool legendKey(const State& st, int page, int col, int row)
{
    return col >= 0 && col < kCols && row >= 0 && row < kRows && keyUse(st, page, col, row) == KEY_USABLE;
}

const std::string& programmedText(const State& st, int page, int col, int row)
{
    static const std::string none;
    const ModelValues& mv = st.mv;
    if (page == 0 && mv.kbt_f > 1 && knownModel(mv.kbt_f) && keypos[mv.kbt_f][0].col == col &&
        keypos[mv.kbt_f][0].row == row)
        return none;
    return keyCell(st.kd.hbuf, page, col, row);
}

std::vector<Tile> gridTiles(const State& st, int page, double pitch, double width, double height)
{
    const ModelValues& mv = st.mv;
    const int cols = mv.kxn - mv.kxs, rows = mv.kyn - mv.kys;
    if (cols <= 0 || rows <= 0 || pitch <= 0) return {};
    // Each part as wide and as high as the paper takes (at least one key),
    // the parts of a grid about even in size.
    const int fitCols = std::max(1, int(std::floor(width / pitch + 1e-9)));
    const int fitRows = std::max(1, int(std::floor(height / pitch + 1e-9)));
    const int partsX = (cols + fitCols - 1) / fitCols, partsY = (rows + fitRows - 1) / fitRows;
    const int stepX = (cols + partsX - 1) / partsX, stepY = (rows + partsY - 1) / partsY;
    std::vector<Tile> tiles;
    for (int r0 = mv.kys; r0 < mv.kyn; r0 += stepY) {
        for (int c0 = mv.kxs; c0 < mv.kxn; c0 += stepX) {
            const Tile t{c0, std::min(c0 + stepX, mv.kxn), r0, std::min(r0 + stepY, mv.kyn)};
            bool keys = false;
            for (int r = t.r0; r < t.r1 && !keys; ++r)
                for (int c = t.c0; c < t.c1 && !keys; ++c) keys = legendKey(st, page, c, r);
            if (keys) tiles.push_back(t);
        }
    }
    return tiles;
}

}  // namespace ptu::legend
