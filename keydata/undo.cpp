#include "keydata/undo.h"

namespace ptu {

struct UndoHistory::Snapshot {
    PageTexts hbuf;
    PageTexts kcap;
    Registers rg;
    std::array<uint8_t, 7> magcfg;
};

UndoHistory::UndoHistory() = default;
UndoHistory::~UndoHistory() = default;

void UndoHistory::begin(const State& st)
{
    if (depth_++ > 0) return;
    if (!before_) before_ = std::make_unique<Snapshot>();
    before_->hbuf = st.kd.hbuf;
    before_->kcap = st.kd.kcap;
    before_->rg = st.rg;
    before_->magcfg = st.kd.magcfg;
}

bool UndoHistory::end(const State& st, const std::string& what)
{
    if (depth_ > 0 && --depth_ > 0) return false;
    if (!before_) return false;
    Step step{what, {}, {}, {}};
    for (int p = 0; p < kPages; ++p) {
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kCols; ++c) {
                const auto changed = [&](bool caption, const PageTexts& now, const PageTexts& was) {
                    if (keyCell(now, p, c, r) != keyCell(was, p, c, r))
                        step.cells.push_back({uint8_t(p), uint8_t(r), uint8_t(c), caption, keyCell(was, p, c, r)});
                };
                changed(false, st.kd.hbuf, before_->hbuf);
                changed(true, st.kd.kcap, before_->kcap);
            }
        }
    }
    if (!(st.rg == before_->rg)) step.rg = before_->rg;
    if (st.kd.magcfg != before_->magcfg) step.magcfg = before_->magcfg;
    before_.reset();
    if (step.cells.empty() && !step.rg && !step.magcfg) return false;
    steps_.push_back(std::move(step));
    if (steps_.size() > kDepth) steps_.pop_front();
    return true;
}

std::string UndoHistory::undo(State& st)
{
    if (steps_.empty()) return {};
    Step step = std::move(steps_.back());
    steps_.pop_back();
    for (const Cell& c : step.cells) {
        PageTexts& texts = c.caption ? st.kd.kcap : st.kd.hbuf;
        texts[c.page][c.row][c.col] = c.text;
    }
    if (step.rg) st.rg = *step.rg;
    if (step.magcfg) st.kd.magcfg = *step.magcfg;
    return step.what;
}

}  // namespace ptu
