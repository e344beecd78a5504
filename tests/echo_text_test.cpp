// Outside text as a message echoes it: readable names as they are, nothing that a terminal or a
// one-line message would take for a command, and never longer than a glance.

#include "display/echo_text.h"

#include <gtest/gtest.h>
#include <string>

using namespace orvanta;

TEST(EchoText, KeepsWhatIsReadableAndWritesTheRestVisibly) {
    const struct {
        std::string text;
        char quote;
        std::string echoed;
    } cases[] = {
        {"Zürich", '\0', "Zürich"},
        {"Łódź, Kraków", '\'', "'Łódź, Kraków'"},
        {"it's", '\'', "'it\\x27s'"},
        {"back\\slash", '\0', "back\\x5cslash"},
        {"\x1b]0;title\x07\x1b[2J", '\0', "\\x1b]0;title\\x07\\x1b[2J"},
        {"line\nbreak\r\x7f", '\0', "line\\x0abreak\\x0d\\x7f"},
        {"\xc2\x9b"
         "31m",
         '\0', "\\xc2\\x9b31m"}, // a C1 control in UTF-8
        {"\x9b"
         "2J",
         '\0', "\\x9b2J"},                               // and raw
        {"\xc0\xaf \xed\xa0\x80 \xf4\x90\x80\x80", '\0', // overlong, surrogate, too high
         "\\xc0\\xaf \\xed\\xa0\\x80 \\xf4\\x90\\x80\\x80"},
        {"\xe2\x82", '\0', "\\xe2\\x82"}, // cut short
        {"\xe2\x88\x92"
         "52.52",
         '\0',
         "\xe2\x88\x92"
         "52.52"}, // a minus sign
    };
    for (const auto& c : cases) {
        EXPECT_EQ(echoText(c.text, c.quote), c.echoed) << c.text;
    }
    // What a settings file must be, by the same reading.
    EXPECT_TRUE(isUtf8("Zürich, Łódź \xe2\x88\x92"));
    for (const char* bad : {"\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xe2\x82", "\x9b"}) {
        EXPECT_FALSE(isUtf8(bad)) << bad;
    }
}

TEST(EchoText, CutsALongTextAtACharacterAndSaysItsLength) {
    EXPECT_EQ(echoText(std::string(1500, 'a'), '"'),
              '"' + std::string(ECHO_SHOWN, 'a') + "...\" (1500 bytes)");
    EXPECT_EQ(echoText(std::string(ECHO_SHOWN, 'a')), std::string(ECHO_SHOWN, 'a'));
    // A two-byte letter across the cut is left out whole, never split into bytes.
    const std::string across = std::string(ECHO_SHOWN - 1, 'a') + "ü";
    EXPECT_EQ(echoText(across), std::string(ECHO_SHOWN - 1, 'a') + "... (61 bytes)");
}
