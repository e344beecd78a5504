#include "display/echo_text.h"

#include <algorithm>

namespace orvanta {

namespace {

// The length of the UTF-8 character that starts at `at`, or 0 where the bytes there are not one
// (a stray continuation, an overlong form, a surrogate, beyond U+10FFFF, cut short).
std::size_t characterLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(at);
    const std::size_t length = lead < 0x80                   ? 1
                               : lead >= 0xc2 && lead < 0xe0 ? 2
                               : lead >= 0xe0 && lead < 0xf0 ? 3
                               : lead >= 0xf0 && lead < 0xf5 ? 4
                                                             : 0;
    if (length == 0 || at + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(at + k) & 0xc0) != 0x80) {
            return 0;
        }
    }
    const unsigned second = length > 1 ? byte(at + 1) : 0;
    if ((lead == 0xe0 && second < 0xa0) || (lead == 0xed && second >= 0xa0) ||
        (lead == 0xf0 && second < 0x90) || (lead == 0xf4 && second >= 0x90)) {
        return 0;
    }
    return length;
}

void appendEscaped(std::string& out, unsigned char byte) {
    static constexpr char HEX[] = "0123456789abcdef";
    out += "\\x";
    out += HEX[byte >> 4];
    out += HEX[byte & 0xf];
}

// The first `shown` bytes of `text`, cut at a character's end, made visible; `quote` written as
// \xNN too, and a backslash always, so that \xNN is never ambiguous; `taken` is how many bytes
// of `text` it shows.
std::string visibleText(std::string_view text, std::size_t shown, char quote, std::size_t& taken) {
    std::string out;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t length = characterLength(text, at);
        if (at + std::max<std::size_t>(length, 1) > shown) {
            break;
        }
        const auto lead = static_cast<unsigned char>(text[at]);
        // U+0080 to U+009F, the C1 controls, are C2 80 to C2 9F in UTF-8.
        const bool control =
            lead < 0x20 || lead == 0x7f ||
            (length == 2 && lead == 0xc2 && static_cast<unsigned char>(text[at + 1]) < 0xa0);
        if (length == 0 || control) {
            for (std::size_t k = 0; k < std::max<std::size_t>(length, 1); ++k) {
                appendEscaped(out, static_cast<unsigned char>(text[at + k]));
            }
        } else if (length == 1 && (text[at] == '\\' || (quote != '\0' && text[at] == quote))) {
            appendEscaped(out, lead);
        } else {
            out.append(text.substr(at, length));
        }
        at += std::max<std::size_t>(length, 1);
    }
    taken = at;
    return out;
}

} // namespace

bool isUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = characterLength(text, at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

std::string echoText(std::string_view text, char quote, std::size_t shown) {
    std::size_t taken = 0;
    std::string out = visibleText(text, shown, quote, taken);
    const bool cut = taken < text.size();
    if (cut) {
        out += "...";
    }
    if (quote != '\0') {
        out = quote + out + quote;
    }
    if (cut) {
        out += " (" + std::to_string(text.size()) + " bytes)";
    }
    return out;
}

} // namespace orvanta
