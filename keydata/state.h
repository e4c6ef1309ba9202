// The program-wide state: switch flags, configuration registers, model values,
// key data and transfer buffers. One instance of each serves a run; tests
// build their own.
#pragma once

#include "keydata/tables.h"
#include "platform/log.h"

#include <array>
#include <cstdint>
#include <string>

namespace ptu {

// Switch flags, written at start-up or by a chooser and read everywhere.
struct Flags {
    int usb_f = 0;
    int bat_f = 0;  // 1 read, 2 write, 4 controller operation, 8 block transfer
    int cancel_f = 0;
    int pad_f = 0;  // 0, 1 or 2
    int m84_f = 0;
    int m70_f = 0;
    int m17_f = 0;
    int m60_f = 0;
    int ask_f = 0;
    int capm_f = 0;
    int capj_f = 0;
    int dup_f = 0;
    int hide_f = 1;  // the only flag a switch clears
    int raw_f = 0;
    int nochk_f = 0;
    int kbc_f = 0;
    int d_f = 0;
    int td_f = 0;
};

// Batch word bits.
enum : int { BAT_READ = 1, BAT_WRITE = 2, BAT_CTRL = 4, BAT_BLOCK = 8 };

// The keyboard's one-byte configuration registers.
struct Registers {
    uint8_t r2a = 0;  // model and configuration code; 0 = no keyboard identified
    uint8_t r2e = 0;  // second identification byte
    uint8_t r27 = 0;  // inter-character delay, ms
    uint8_t r28 = 0;  // feature bits
    uint8_t r29 = 0;  // beep bit and fixed bits
    uint8_t ldt = 0;  // key-lock answer-back delay
    bool operator==(const Registers&) const = default;
};

// The model values derived from the registers, the switches or a chooser.
struct ModelValues {
    int kbt_f = 0;   // model index 0..17
    int kbp_f = 0;   // pages kept in memory, 1 or 6
    int kbb_f = 0;   // memory size in bytes: 2048, 4096 or 8192
    int lmt = 0;     // end of the key data area
    int kmax = 175;  // highest key slot the codec handles
    // Grid extent of the model, set by update_globals (keypos.h): the key
    // panels cover columns kxs .. kxn - 1 and rows kys .. kyn - 1.
    int kxn = 0;
    int kyn = 0;
    int kxs = 99;
    int kys = 99;
};

constexpr int kPages = 6;
constexpr int kRows = 16;
constexpr int kCols = 22;
constexpr int kSlots = 176;

using PageTexts = std::array<std::array<std::array<std::string, kCols>, kRows>, kPages>;

// The key cell of a text table (hbuf, kcap) at (page, column, row), the
// order of every function that takes a cell. The table is kept by page,
// row and column; this is the one place that says so.
inline std::string& keyCell(PageTexts& t, int page, int col, int row)
{
    return t[std::size_t(page)][std::size_t(row)][std::size_t(col)];
}
inline const std::string& keyCell(const PageTexts& t, int page, int col, int row)
{
    return t[std::size_t(page)][std::size_t(row)][std::size_t(col)];
}

// The key data the window, the codec and the data file work on.
struct KeyData {
    PageTexts hbuf;   // macro texts (keyCell reads and writes a key's)
    PageTexts kcap;   // key captions, the same
    std::string tbuf; // the key clipboard
    std::string textclip;  // the text clipboard of the key-text boxes (private to the program)
    int pi = 0;       // the page shown
    std::array<int, 16> kxi{};  // current key's column, per page
    std::array<int, 16> kyi{};  // current key's row, per page
    int edit_f = 0;   // 0 none, 1 macro text box active, 2 caption box active
    std::array<uint8_t, 7> magcfg{0xC6, 0x08, 0x25, 0x3B, 0x3B, 0x3F, 0x01};
    int used_len = 0; // bytes of key data the last image build wrote
};

// Transfer buffers, sized for the largest keyboard and the driver's replies.
constexpr int kOpBufSize = 64;
constexpr int kRawBufSize = 16448;    // 2 x 8192 + 64
constexpr int kImageBufSize = 32832;  // 4 x 8192 + 64

struct Buffers {
    std::array<uint8_t, kOpBufSize> obuf{};     // INFO and one-byte operations
    std::array<uint8_t, kRawBufSize> rbuf{};    // raw transfer buffer (nibble bytes, data files)
    std::array<uint8_t, kImageBufSize> ibuf{};  // image being built for a write or save
};

// The keyboard locale: which table set the codec reads and writes texts with.
struct Locale {
    TableSetId tset = TableSetId::us;
};

// The USB keyboard library while it is loaded: its module handle and the
// entry points resolved from it. All null when it is not loaded. The
// entries are the library's own C functions; every status is 0 on success.
struct UsbLink {
    using Call = int (*)();
    using Transfer = int (*)(unsigned char* buffer, int length);
    void* hm = nullptr;
    Call OpenHidPad = nullptr;
    Transfer ReadData = nullptr;
    Transfer WriteData = nullptr;
    Transfer WriteCMD = nullptr;  // resolved so that a library without it is refused; never called
    Transfer ReadConfig = nullptr;
    Call CloseHidPad = nullptr;
};

// Everything a run shares. Allocate it once (it is large); tests make a fresh one each.
struct State {
    Flags fl;
    Registers rg;
    ModelValues mv;
    KeyData kd;
    Buffers buf;
    Locale loc;  // chosen once when the main window is built
    UsbLink usb;
    Log log;
};

}  // namespace ptu
