// The emulated USB keyboard. It stands apart from the program: it stores
// whatever bytes it is given and knows nothing of their meaning beyond where
// a keyboard keeps its registers.
#include "sim/hidpad/emulator.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using Memory = std::array<unsigned char, HIDPAD_MEMORY_SIZE>;

// Where the keyboard keeps its registers in its memory.
constexpr int kLdt = 0, kR29 = 8185, kR27 = 8186, kR28 = 8187, kR2a = 8188, kSignature = 8189;
constexpr unsigned char kSignatureBytes[3] = {0x55, 0xAA, 0xD6};
constexpr unsigned char kIdentification = 0x15;
constexpr int kDefaultType = 9;
constexpr int kMaxCommand = 64;

struct Keyboard {
    bool open = false;
    int type = kDefaultType;
    std::string file;      // empty: the memory lives in `memory`
    bool fresh = true;     // `memory` not yet set up
    Memory memory{};
};
Keyboard kb;

// The memory of a keyboard that has never been written: an empty image
// with the default registers of its type.
Memory freshMemory(int type)
{
    Memory m{};
    m[kLdt] = 16;
    m[kR29] = 2;
    m[kR27] = 4;
    m[kR28] = 1;
    m[kR2a] = (unsigned char)(0x60 + type);
    std::memcpy(&m[kSignature], kSignatureBytes, sizeof kSignatureBytes);
    return m;
}

// Whether HIDPAD_EMU_FAIL names `call`.
bool failing(const char* call)
{
    const char* list = std::getenv("HIDPAD_EMU_FAIL");
    if (!list) return false;
    std::string s = list;
    size_t start = 0;
    while (start <= s.size()) {
        size_t end = s.find(',', start);
        if (end == std::string::npos) end = s.size();
        std::string item = s.substr(start, end - start);
        const size_t a = item.find_first_not_of(" \t");
        const size_t b = item.find_last_not_of(" \t");
        if (a != std::string::npos && item.substr(a, b - a + 1) == call) return true;
        start = end + 1;
    }
    return false;
}

// The status a failing transfer returns: HIDPAD_EMU_STATUS when it is a
// number other than 0, else HIDPAD_TRANSFER_FAILED.
int transferFailure()
{
    if (const char* v = std::getenv("HIDPAD_EMU_STATUS"); v && *v) {
        char* end = nullptr;
        const long n = std::strtol(v, &end, 0);
        if (*end == 0 && n != 0 && n >= -2147483647L && n <= 2147483647L) return int(n);
    }
    return HIDPAD_TRANSFER_FAILED;
}

// The type from HIDPAD_EMU_TYPE, or -1 when no keyboard of that type exists.
int typeFromEnvironment()
{
    const char* t = std::getenv("HIDPAD_EMU_TYPE");
    if (!t || !*t) return kDefaultType;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(t, &end, 0);
    if (errno || *end || v < 0 || v > 31) return -1;
    return int(v);
}

int loadMemory(Memory& m)
{
    if (kb.file.empty()) {
        if (kb.fresh) {
            kb.memory = freshMemory(kb.type);
            kb.fresh = false;
        }
        m = kb.memory;
        return HIDPAD_OK;
    }
    FILE* f = std::fopen(kb.file.c_str(), "rb");
    if (!f) {
        if (errno != ENOENT) return HIDPAD_MEMORY_ERROR;
        m = freshMemory(kb.type);
        return HIDPAD_OK;
    }
    const size_t n = std::fread(m.data(), 1, m.size(), f);
    const bool longer = std::fgetc(f) != EOF;
    const bool bad = std::ferror(f) != 0;
    std::fclose(f);
    return (n != m.size() || longer || bad) ? HIDPAD_MEMORY_ERROR : HIDPAD_OK;
}

// The whole memory into the file through a temporary file and a rename, so
// that a reader never sees half an image.
int saveMemory(const Memory& m)
{
    if (kb.file.empty()) {
        kb.memory = m;
        kb.fresh = false;
        return HIDPAD_OK;
    }
    const std::string tmp = kb.file + ".tmp." + std::to_string(::getpid());
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return HIDPAD_MEMORY_ERROR;
    const bool written = std::fwrite(m.data(), 1, m.size(), f) == m.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed || std::rename(tmp.c_str(), kb.file.c_str()) != 0) {
        std::remove(tmp.c_str());
        return HIDPAD_MEMORY_ERROR;
    }
    return HIDPAD_OK;
}

int checkTransfer(const unsigned char* buffer, int length, int max)
{
    if (!kb.open) return HIDPAD_NOT_OPEN;
    if (!buffer || length < 1 || length > max) return HIDPAD_BAD_ARGUMENT;
    return HIDPAD_OK;
}

// Appends "CALL STATUS" to the file $HIDPAD_EMU_TRACE, when set.
int traced(const char* call, int status)
{
    if (const char* path = std::getenv("HIDPAD_EMU_TRACE"); path && *path) {
        if (FILE* f = std::fopen(path, "a")) {
            std::fprintf(f, "%s %d\n", call, status);
            std::fclose(f);
        }
    }
    return status;
}

int doOpenHidPad()
{
    if (failing("open")) return HIDPAD_NO_KEYBOARD;
    const int type = typeFromEnvironment();
    if (type < 0) return HIDPAD_NO_KEYBOARD;
    const char* file = std::getenv("HIDPAD_EMU_MEMORY");
    const std::string path = file ? file : "";
    // Another keyboard plugged in: the process-held memory starts afresh.
    if (type != kb.type || path != kb.file) kb.fresh = true;
    kb.type = type;
    kb.file = path;
    kb.open = true;
    return HIDPAD_OK;
}

int doReadData(unsigned char* buffer, int length)
{
    if (int s = checkTransfer(buffer, length, HIDPAD_MEMORY_SIZE)) return s;
    if (failing("read")) return transferFailure();
    Memory m;
    if (int s = loadMemory(m)) return s;
    std::memcpy(buffer, m.data(), size_t(length));
    return HIDPAD_OK;
}

int doWriteData(unsigned char* buffer, int length)
{
    if (int s = checkTransfer(buffer, length, HIDPAD_MEMORY_SIZE)) return s;
    if (failing("write")) return transferFailure();
    Memory m;
    if (length < HIDPAD_MEMORY_SIZE) {
        if (int s = loadMemory(m)) return s;
    }
    std::memcpy(m.data(), buffer, size_t(length));
    return saveMemory(m);
}

int doWriteCMD(unsigned char* buffer, int length)
{
    if (int s = checkTransfer(buffer, length, kMaxCommand)) return s;
    if (failing("command")) return HIDPAD_TRANSFER_FAILED;
    return HIDPAD_OK;
}

int doReadConfig(unsigned char* buffer, int length)
{
    if (!kb.open) return HIDPAD_NOT_OPEN;
    if (!buffer || length < HIDPAD_CONFIG_SIZE) return HIDPAD_BAD_ARGUMENT;
    if (failing("config")) return HIDPAD_TRANSFER_FAILED;
    Memory m;
    if (int s = loadMemory(m)) return s;
    const bool image = std::memcmp(&m[kSignature], kSignatureBytes, sizeof kSignatureBytes) == 0;
    unsigned char cfg[HIDPAD_CONFIG_SIZE] = {0, kIdentification, (unsigned char)(0x60 + kb.type), 16, 4, 2, 1, 0};
    if (image) {
        cfg[3] = m[kLdt];
        cfg[4] = m[kR27];
        cfg[5] = m[kR29];
        cfg[6] = m[kR28];
    }
    std::memcpy(buffer, cfg, sizeof cfg);
    return HIDPAD_OK;
}

int doCloseHidPad()
{
    if (failing("close")) return HIDPAD_TRANSFER_FAILED;
    if (!kb.open) return HIDPAD_NOT_OPEN;
    kb.open = false;
    return HIDPAD_OK;
}

}  // namespace

int OpenHidPad(void) { return traced("OpenHidPad", doOpenHidPad()); }
int ReadData(unsigned char* buffer, int length) { return traced("ReadData", doReadData(buffer, length)); }
int WriteData(unsigned char* buffer, int length) { return traced("WriteData", doWriteData(buffer, length)); }
int WriteCMD(unsigned char* buffer, int length) { return traced("WriteCMD", doWriteCMD(buffer, length)); }
int ReadConfig(unsigned char* buffer, int length) { return traced("ReadConfig", doReadConfig(buffer, length)); }
int CloseHidPad(void) { return traced("CloseHidPad", doCloseHidPad()); }
