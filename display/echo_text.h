#pragma once

// Text from outside (typed, read from the settings, given as an argument) as a message or a window
// echoes it: valid UTF-8 as it stands, but every control character (C0, DEL and C1) and every byte
// that is not UTF-8 written as \xNN, so that an echo stays on its line and never reaches a
// terminal as a control sequence; and a long text cut, so that it is read in one glance.

#include <cstddef>
#include <string>
#include <string_view>

namespace orvanta {

// How much of a text an echo shows, in bytes.
constexpr std::size_t ECHO_SHOWN = 60;

// Whether `text` is UTF-8 throughout: no stray continuation, overlong form, surrogate or code
// beyond U+10FFFF, nothing cut short.
bool isUtf8(std::string_view text);

// `text` made visible and cut: "Zürich", "a\x1b[2J", "aaaa... (1500 bytes)". With a `quote`,
// the text stands between two of them and one inside it is written as \xNN: "'it\x27s'".
std::string echoText(std::string_view text, char quote = '\0', std::size_t shown = ECHO_SHOWN);

} // namespace orvanta
