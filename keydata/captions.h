// Caption files: small text files beside the program whose first line names
// the window. One buffer per file read at start; the model decides which
// buffer becomes the window's caption.
#pragma once

#include "platform/log.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace ptu {

// The buffers in the order the files are read. "ptu.ini" fills four: the one
// used with "-j", the default one, the one of model 8 and the one used with "-m".
enum CaptionBuffer : int {
    CAP_USB,      // "uptu.ini"
    CAP_J,        // "ptu.ini"
    CAP_QX43,     // "ptu84.ini"
    CAP_DEFAULT,  // "ptu.ini"
    CAP_QX11,     // "ptu40.ini"
    CAP_QX21,     // "ptu40kp1.ini"
    CAP_QX41,     // "ptu102.ini"
    CAP_QX42,     // "ptu.ini"
    CAP_M,        // "ptu.ini"
    CAP_QX51,     // "ptu17.ini"
    CAP_QX22,     // "ptu40kp2.ini"
    CAP_QX32,     // "ptu40dt.ini"
    CAP_QX44,     // "ptu70.ini"
    kCaptionBuffers
};

extern const std::array<const char*, kCaptionBuffers> kCaptionFileNames;

using CaptionBuffers = std::array<std::string, kCaptionBuffers>;

// Longest caption kept, and the most of a first line that is read.
constexpr std::size_t kCaptionMax = 120;
constexpr std::size_t kCaptionLineMax = 249;

inline constexpr char kUsbBuiltInCaption[] = " Tessaral USB Programmable Keyboard  v1.00";
inline constexpr char kBuiltInCaption[] = " Tessaral Programmable Keyboard  v1.00";
inline constexpr char kMissingCaption[] = " Tessaral Programmable POS Keyboard  v1.00";

// The path of `name` in the first folder that has it; when none has it, the
// path in the first folder (which then fails to open).
std::string findDataFile(const std::vector<std::string>& folders, const std::string& name);

// The first line of a text file, at most `maxRead` characters of it, cut at
// the first character that is not printable ASCII. Empty optional when the
// file cannot be opened as a regular file; `opened` tells the two apart
// (a file that opens but yields no line).
struct FirstLine {
    bool opened = false;
    const void* fp = nullptr;  // the stream it was read through (for the log)
    bool hasLine = false;
    std::string raw;   // what was read of the line, line end included
    std::string text;  // cut at the first non-printable character
};
FirstLine readFirstLine(const std::string& path, std::size_t maxRead);

// Reads the caption file at `path` into `cap`, which holds its built-in value:
// a file that cannot be opened gives kMissingCaption, one without a line
// leaves `cap`, otherwise its first line, at most kCaptionMax characters.
void getCaps(const std::string& path, std::string& cap, Log& log);

// Every caption buffer, each file looked up in `folders`.
CaptionBuffers readCaptions(const std::vector<std::string>& folders, Log& log);

}  // namespace ptu
