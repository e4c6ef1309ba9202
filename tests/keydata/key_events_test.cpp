// Key events of the window system as the keyboard's codes: every key-name
// and character row that a PC keyboard can type goes from the key events
// that type it to the row's codes, and back to a text that encodes to them.
#include "keydata/decode.h"
#include "keydata/encode.h"
#include "keydata/key_events.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <utility>
#include <vector>

namespace ptu {
namespace {

using Events = std::vector<std::pair<uint32_t, bool>>;  // X11 key code, pressed

// The events a PC keyboard sends for a code sequence: each make code a key
// (pressed and released unless a modifier, which stays down), F0 (after E0
// on extended keys) a modifier's release. None for codes no key sends.
std::optional<Events> eventsFor(std::string_view codes)
{
    Events ev;
    while (!codes.empty()) {
        if (codes.starts_with("\xE0\x2A\xE0\x37")) {  // Print Screen with its Shift prefix
            ev.push_back({99 + kX11KeycodeOffset, true});
            ev.push_back({99 + kX11KeycodeOffset, false});
            codes.remove_prefix(4);
            continue;
        }
        const bool release = codes[0] == '\xF0' || codes.starts_with("\xE0\xF0");
        std::string make(codes);
        if (codes[0] == '\xF0') make.erase(0, 1);
        else if (release) make.erase(1, 1);
        const KeyCodeRow* r = rowOfCode(make);
        if (!r || (release && !r->modifier)) return std::nullopt;
        const uint32_t key = r->evdev + kX11KeycodeOffset;
        ev.push_back({key, !release});
        if (!release && !r->modifier) ev.push_back({key, false});
        codes.remove_prefix(r->length + (release ? 1 : 0));
    }
    return ev;
}

TEST(KeyEvents, EveryRowAPcKeyboardTypesComesBackFromItsKeyEvents)
{
    for (TableSetId id : {TableSetId::us, TableSetId::uk, TableSetId::es, TableSetId::pt, TableSetId::no,
                          TableSetId::it, TableSetId::de, TableSetId::fr}) {
        const TableSet& set = tableSet(id);
        SCOPED_TRACE(set.tag);
        // The codes of every row the encoder writes (the first row of its name or character).
        std::vector<std::string> codesOfRows;
        auto add = [&](const Code8& code, const std::string& text) {
            const std::string c(reinterpret_cast<const char*>(code.data()), strnlen(reinterpret_cast<const char*>(code.data()), 8));
            if (encodeText(id, false, text) == c) codesOfRows.push_back(c);
        };
        for (const KeyNameRow& r : set.nok1) add(r.code, std::string("{") + r.name + "}");
        for (const CharRow& r : set.nok2) add(r.code, std::string(1, char(r.ch)));
        std::size_t typed = 0;
        for (const std::string& codes : codesOfRows) {
            const std::optional<Events> ev = eventsFor(codes);
            if (!ev) continue;  // a keyboard command, or codes no key of a PC keyboard sends
            ++typed;
            std::string made;
            for (auto [key, press] : *ev) {
                const KeyStroke s = keyStroke(id, key, press);
                EXPECT_TRUE(s.known) << key;
                made += s.codes;
            }
            EXPECT_EQ(made, codes);
            const std::string text = decodeText(id, "\xFF" + made);
            EXPECT_EQ(encodeText(id, false, text), codes) << text;
        }
        EXPECT_GT(typed, codesOfRows.size() * 9 / 10) << "nearly every row is a key of a PC keyboard";
    }
}

TEST(KeyEvents, ModifiersHoldAndOtherKeysTypeOnceUnknownKeysAreSaid)
{
    constexpr uint32_t shift = 42 + kX11KeycodeOffset, a = 30 + kX11KeycodeOffset, rctrl = 97 + kX11KeycodeOffset;
    EXPECT_EQ(keyStroke(TableSetId::us, shift, true).codes, "\x2A");
    EXPECT_EQ(keyStroke(TableSetId::us, shift, false).codes, "\xF0\x2A");
    EXPECT_EQ(keyStroke(TableSetId::us, rctrl, false).codes, "\xE0\xF0\x1D");
    EXPECT_EQ(keyStroke(TableSetId::us, a, true).codes, "\x1E");
    EXPECT_EQ(keyStroke(TableSetId::us, a, false).codes, "");
    EXPECT_EQ(decodeText(TableSetId::us, "\xFF\x2A\x1E\xF0\x2A"), "A");  // Shift+a records as A
    const KeyStroke mute = keyStroke(TableSetId::us, 113 + kX11KeycodeOffset, true);
    EXPECT_FALSE(mute.known);
    EXPECT_TRUE(mute.codes.empty());
    EXPECT_FALSE(keyStroke(TableSetId::us, 3, true).known);  // below the first X11 key code
}

}  // namespace
}  // namespace ptu
