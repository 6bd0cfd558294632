// Stored texts to UTF-8 and back: every byte shows as a character of its own and stores back to
// itself; only characters the code page has no byte for are refused.
#include "core/common/windows1252.h"

#include <gtest/gtest.h>

using namespace veltrane;

namespace {

TEST(Windows1252, ShowsEveryByteAsItsCharacter) {
    struct Case {
        const char* stored;
        const char* shown;
    };
    const Case cases[] = {
        {"Node-1 ~", "Node-1 ~"},                  // ASCII as it is
        {"\x80", "\u20ac"},                        // euro sign
        {"\x8a\x9a\x9f", "\u0160\u0161\u0178"},    // S, s with caron, Y with diaeresis
        {"\x91\x92\x93\x94", "\u2018\u2019\u201c\u201d"},
        {"\x81\x8d\x8f\x90\x9d", "\u0081\u008d\u008f\u0090\u009d"}, // undefined: Latin-1 controls
        {"\xa0\xe9\xff", "\u00a0\u00e9\u00ff"},    // A0-FF as Latin-1
        {"Pumpe S\xfc" "d", "Pumpe S\u00fc" "d"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(windows1252ToUtf8(c.stored), c.shown);
        EXPECT_EQ(utf8ToWindows1252(c.shown), std::string(c.stored));
    }
}

TEST(Windows1252, EveryByteStoresBackToItself) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all += static_cast<char>(byte);
    const std::string shown = windows1252ToUtf8(all);
    EXPECT_EQ(shown.find("\xef\xbf\xbd"), std::string::npos); // no replacement character
    EXPECT_EQ(utf8ToWindows1252(shown), all);
}

TEST(Windows1252, RefusesWhatItCannotHold) {
    struct Case {
        const char* typed;
        bool notUtf8;
        std::uint32_t character;
    };
    const Case cases[] = {
        {"Halle \u4e2d", false, 0x4E2D},
        {"\u0080", false, 0x80},  // a control character the code page stores as the euro sign
        {"\u20ac\U0001F600", false, 0x1F600},
        {"S\xfc" "d", true, 0},   // Latin-1 bytes typed where UTF-8 belongs
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Windows1252Refusal refusal;
        EXPECT_EQ(utf8ToWindows1252(c.typed, &refusal), std::nullopt);
        EXPECT_EQ(refusal.notUtf8, c.notUtf8);
        EXPECT_EQ(refusal.character, c.character);
    }
    EXPECT_EQ(codePointName(0x4E2D), "U+4E2D");
    EXPECT_EQ(utf8Character(0x4E2D), "\u4e2d");
}

} // namespace
