#include "keydata/special_keys.h"

namespace ptu {

namespace {

// Single entries of the second column.
constexpr SpecialKey kSingles[] = {
    {"ESC", "{ESC}"},           {"Enter", "{Enter}"}, {"TAB", "{TAB}"},   {"BackSpace", "{BKS}"},
    {"Caps Lock", "{CapsLock}"}, {"Menu", "{Menu}"},   {"LWin", "{LWin}"}, {"LWinB", "{LWinB}"},
    {"RWin", "{RWin}"},         {"RWinB", "{RWinB}"},
};

constexpr SpecialKey kFunctions[] = {
    {"F1", "{F1}"},   {"F2", "{F2}"},   {"F3", "{F3}"}, {"F4", "{F4}"}, {"F5", "{F5}"},
    {"F6", "{F6}"},   {"F7", "{F7}"},   {"F8", "{F8}"}, {"F9", "{F9}"}, {"F10", "{F10}"},
    {"F11", "{F11}"}, {"F12", "{F12}"}, {"wince F7", "{F71}"},
};

constexpr SpecialKey kNumericPad[] = {
    {"1", "{n1}"},           {"2", "{n2}"},       {"3", "{n3}"},       {"4", "{n4}"},
    {"5", "{n5}"},           {"6", "{n6}"},       {"7", "{n7}"},       {"8", "{n8}"},
    {"9", "{n9}"},           {"0", "{n0}"},       {"Num Lock", "{NumLock}"}, {"/", "{NpDiv}"},
    {"*", "{NpStar}"},       {"Plus", "{NpPlus}"}, {"Minus", "{NpMinus}"}, {"Dot", "{NpDot}"},
    {"Enter", "{NpEnter}"},
};

constexpr SpecialKey kShifts[] = {
    {"Left Shift", "{LSft}"},   {"Left Shift Break", "{LSftB}"},
    {"Right Shift", "{RSft}"},  {"Right Shift Break", "{RSftB}"},
};
constexpr SpecialKey kControls[] = {
    {"Left Control", "{LCtl}"},  {"Left Control Break", "{LCtlB}"},
    {"Right Control", "{RCtl}"}, {"Right Control Break", "{RCtlB}"},
};
constexpr SpecialKey kAlts[] = {
    {"Left Alt", "{LAlt}"},  {"Left Alt Break", "{LAltB}"},
    {"Right Alt", "{RAlt}"}, {"Right Alt Break", "{RAltB}"},
};
constexpr SpecialKey kArrows[] = {{"Up", "{Up}"}, {"Down", "{Down}"}, {"Left", "{Left}"}, {"Right", "{Right}"}};

constexpr SpecialKey kOthers[] = {
    {"Power", "{Power}"},        {"Sleep", "{Sleep}"},         {"Wake Up", "{WakeUp}"},
    {"Print Screen", "{PrScr}"}, {"Scroll Lock", "{ScrLock}"}, {"Pause", "{Pause}"},
    {"Insert", "{Ins}"},         {"Delete", "{Del}"},          {"Home", "{Home}"},
    {"End", "{End}"},            {"Page Up", "{PgUp}"},        {"Page Down", "{PgDn}"},
    {"Mark", "{Mark}"},          {"Separator", "{Separator}"}, {"Delay 1", "{Delay1}"},
    {"Delay 3", "{Delay3}"},     {"Delay 5", "{Delay5}"},      {"Delay 10", "{Delay10}"},
    {"{", "{LDLM}"},             {"}", "{RDLM}"},              {"BackSlash", "{BackSlash}"},
};

constexpr SpecialKey kVirtualKeys[] = {
    {"F13", "{F13}"}, {"F14", "{F14}"}, {"F15", "{F15}"}, {"F16", "{F16}"},
    {"F17", "{F17}"}, {"F18", "{F18}"}, {"F19", "{F19}"},
};

constexpr SpecialKey kLocale[] = {
    {"Span.1", "{Span.1}"},     {"Span.2", "{Span.2}"}, {"Span.3", "{Span.3}"},     {"Span.4", "{Span.4}"},
    {"Muhenkan", "{Muhenkan}"}, {"Henkan", "{Henkan}"}, {"Hiragana", "{Hiragana}"}, {"Ro", "{Ro}"},
};

constexpr SpecialKeyGroup kGroups[] = {
    {"", kSingles},         {"Functions", kFunctions}, {"Numeric Pad", kNumericPad},
    {"Shifts", kShifts},    {"Controls", kControls},   {"Alts", kAlts},
    {"Arrows", kArrows},    {"Others", kOthers},       {"Virtual Keys", kVirtualKeys},
    {"Locale", kLocale},
};

}  // namespace

std::span<const SpecialKeyGroup> specialKeyGroups() { return kGroups; }

}  // namespace ptu
