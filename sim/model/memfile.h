// The file that keeps the emulated keyboard's memory across runs: exactly the
// memory image, no header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kbdsim {

// Loads path into mem (size bytes). A missing file is created zero-filled; a
// file of another size is padded with zeros or cut, written back, and a note
// says so. Returns false with a message when the file cannot be read or
// written.
bool loadMemoryFile(const std::string& path, size_t size, std::vector<uint8_t>& mem,
                    std::vector<std::string>& notes, std::string& error);

// Writes mem to path through a temporary file beside it and a rename, so a
// reader never sees a half-written image. Returns an errno value, 0 on success.
int saveMemoryFile(const std::string& path, const std::vector<uint8_t>& mem);

// Writes the n bytes of a block at `offset` into the file in place. A block
// of a few bytes lands whole, and the file is not replaced: on file systems
// that flush a file renamed over another (ext4), replacing the whole image
// for each of a transfer's 512 blocks would take a second. Returns an errno
// value, 0 on success (ENOENT when the file is gone).
int saveMemoryBlock(const std::string& path, size_t offset, const uint8_t* data, size_t n);

}  // namespace kbdsim
