// The undo of key-level changes in the window: each step keeps the texts (and
// registers and stripe-reader settings) that one change replaced, so Ctrl+Z
// puts them back. It works on the program's copy of the key data only; the
// keyboard itself is never touched.
#pragma once

#include "keydata/state.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ptu {

class UndoHistory {
public:
    // Steps kept; the oldest go first.
    static constexpr std::size_t kDepth = 100;

    UndoHistory();
    ~UndoHistory();

    // Remembers the key data before a change...
    void begin(const State& st);
    // ...and keeps what the change replaced as one step named `what`. A
    // change that changed nothing is no step. Returns whether it made one.
    // A change made inside another (begin and end between the outer pair)
    // is part of the outer step, under the outer name.
    bool end(const State& st, const std::string& what);

    bool canUndo() const { return !steps_.empty(); }
    std::size_t size() const { return steps_.size(); }
    // The name of the step undo() would take back ("" when none).
    std::string next() const { return steps_.empty() ? std::string() : steps_.back().what; }

    // Puts back what the last step replaced; returns its name ("" when none).
    std::string undo(State& st);

private:
    struct Cell {
        uint8_t page, row, col;
        bool caption;  // kcap rather than hbuf
        std::string text;
    };
    struct Step {
        std::string what;
        std::vector<Cell> cells;
        std::optional<Registers> rg;
        std::optional<std::array<uint8_t, 7>> magcfg;
    };
    struct Snapshot;

    std::deque<Step> steps_;
    std::unique_ptr<Snapshot> before_;
    int depth_ = 0;  // begin calls not yet ended
};

}  // namespace ptu
