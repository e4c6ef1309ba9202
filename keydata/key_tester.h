// Testing a programmed keyboard key by key. Each burst of key strokes that
// arrives from the keyboard (the strokes of one macro come closer together
// than the pause that ends a burst) is matched against the programmed keys
// of one page: the key whose macro types exactly those strokes is tested;
// a burst that matches none is kept with the key it comes closest to.
#pragma once

#include "keydata/state.h"

#include <string>
#include <vector>

namespace ptu {

class KeyTester {
public:
    // The programmed keys of `page` as the state holds them now.
    KeyTester(const State& s, int page);

    // The pause that ends a burst: a macro's own delays may hold its
    // strokes apart that long (the longest run of {DelayN} on the page, at
    // 100 ms a unit), and 300 ms more.
    int burstGapMs() const { return gapMs_; }

    struct Burst {
        std::string text;         // what arrived, as a macro text
        int col = -1, row = -1;   // the key it is (matched), else the nearest key (-1: none)
        bool matched = false;
        bool again = false;       // the key had been tested before
    };
    // One burst of codes (as the key events translate them).
    Burst burst(const std::string& codes);

    int programmed() const { return int(keys_.size()); }
    int tested() const;
    int unmatched() const { return int(misses_.size()); }
    bool isTested(int col, int row) const;

    // "12 of 40 programmed keys tested, 0 wrong"
    std::string count() const;
    // "1C1 Coffee: Coffee{ENTER} - as programmed", or
    // "xyz matches no key on page 1; nearest 1C2 Tea: Tea{ENTER}"
    std::string describe(const Burst& b) const;
    // A text report to file: the page, the count, the keys tested and not,
    // their texts, and the bursts that matched none. `when` heads it.
    std::string report(const std::string& when) const;

private:
    struct Key {
        int col, row;
        std::string text;   // the macro text
        std::string codes;  // the strokes it types
        bool tested = false;
    };
    std::string keyName(const Key& k) const;
    const State& st_;
    int page_;
    int gapMs_ = 300;
    std::vector<Key> keys_;
    std::vector<Burst> misses_;
};

// The strokes a macro's codes type: the codes without the keyboard's own
// commands (mark, separator, delays), which type nothing.
std::string typedCodes(const std::string& codes);

// The longest run of delay units in a macro's codes.
int delayUnits(const std::string& codes);

}  // namespace ptu
