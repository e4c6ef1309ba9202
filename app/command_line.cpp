#include "app/command_line.h"

#include "device/batch_options.h"

#include <algorithm>
#include <climits>

namespace ptu {

std::string commandLine(int argc, const char* const* argv)
{
    std::string cp;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i] ? argv[i] : "";
        if (i > 1) cp += ' ';
        if (a.find(' ') != std::string::npos) cp += '"' + a + '"';
        else cp += a;
    }
    return cp;
}

long leadingNumber(const std::string& text, size_t pos)
{
    size_t i = pos;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        v = std::min<long>(v * 10 + (text[i] - '0'), INT_MAX);
    }
    return negative ? -v : v;
}

bool asksDriverStart(const std::string& cp) { return withoutFileNames(cp).find(" -K") != std::string::npos; }

SwitchScan scanSwitches(const std::string& line, State& st)
{
    // The file names of the batch options are not read for switches.
    const std::string cp = withoutFileNames(line);
    SwitchScan out;
    out.driverStart = cp.find(" -K") != std::string::npos;
    out.usb = cp.find("-u") != std::string::npos;
    Flags& f = st.fl;
    for (size_t i = 0; i + 1 < cp.size(); ++i) {
        if (cp[i] != '-') continue;
        switch (cp[i + 1]) {
        case '?':
        case 'h': out.help = true; return out;
        case 'k':
            // Slots run 0..175: a larger bound would index past the key tables.
            st.mv.kmax = int(std::clamp<long>(leadingNumber(cp, i + 2), 0, kSlots - 1));
            break;
        case '8': f.m84_f = 1; break;
        case '7': f.m70_f = 1; break;
        case 'b': f.m17_f = 1; break;
        case '4':
        case 'p': f.pad_f = 1; break;
        case '2': f.pad_f = 2; break;
        case '6': f.m60_f = 1; break;
        case 'c': f.ask_f = 1; break;
        case 'm': f.capm_f = 1; break;
        case 'j': f.capj_f = 1; break;
        case 'f': f.dup_f = 1; break;
        case 'x': f.hide_f = 0; break;
        case 'n': f.raw_f = 1; break;
        case 'r': f.bat_f |= BAT_READ; break;
        case 'w':
            f.bat_f |= BAT_WRITE;
            f.nochk_f = 1;
            break;
        case 'R': f.bat_f |= BAT_READ | BAT_BLOCK; break;
        case 'W': f.bat_f |= BAT_WRITE | BAT_BLOCK; break;
        case 's': f.bat_f |= BAT_CTRL; break;
        case 'd': f.d_f = 1; break;
        case 't': f.td_f = 1; break;
        case 'g': f.nochk_f = 1; break;
        case 'T': f.kbc_f = 1; break;
        default: break;
        }
    }
    return out;
}

}  // namespace ptu
