// The history of keyboard images: every image read from or written to a
// keyboard is kept as a data file, named by date, time, direction and model,
// the newest 100 of them. Keeping one never fails the command around it.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ptu {

constexpr std::size_t kHistoryKept = 100;

// Keeps `image` in the platform's history folder (none: nothing is kept) and
// drops the oldest files beyond kHistoryKept. A failure is one warning line.
// Returns the file's path, or "" when nothing was kept.
std::string keepImage(Platform& pf, bool written, int kbt_f, std::span<const uint8_t> image);

struct HistoryEntry {
    std::string path;
    std::string when;  // "2026-12-08 14:03:27"
    bool written = false;
    int model = -1;
};

// The images kept in `folder`, newest first.
std::vector<HistoryEntry> listHistory(const std::string& folder);

}  // namespace ptu
