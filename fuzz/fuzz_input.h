#pragma once

// What the targets share: the fuzzer's bytes as text or as a command line, and the checks that
// stop a run with the input kept.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta::fuzz {

inline std::string_view textOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The arguments after the program name, as the kernel would hand them over: split at NUL bytes,
// which no argument can hold.
inline std::vector<std::string> argumentsOf(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args;
    std::string_view rest = textOf(data, size);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\0');
        args.emplace_back(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    return args;
}

// A broken promise of the parser: reported, then aborted, so that libFuzzer keeps the input.
inline void check(bool holds, const char* what, std::string_view detail = {}) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s: %.*s\n", what, static_cast<int>(detail.size()),
                     detail.data());
        std::abort();
    }
}

// The tools promise one line on the terminal for a bad argument: valid UTF-8 (their own words
// may hold a "±"; whatever the user typed is quoted in ASCII), without a line break or any other
// control character, C1 ones included, that could start a control sequence.
inline bool isOneLine(std::string_view message) {
    if (message.empty()) {
        return false;
    }
    for (std::size_t i = 0; i < message.size();) {
        const auto lead = static_cast<unsigned char>(message[i]);
        const std::size_t length = lead < 0x80                   ? 1
                                   : lead >= 0xc2 && lead < 0xe0 ? 2
                                   : lead >= 0xe0 && lead < 0xf0 ? 3
                                   : lead >= 0xf0 && lead < 0xf5 ? 4
                                                                 : 0;
        if (length == 0 || i + length > message.size()) {
            return false;
        }
        char32_t code = length == 1 ? lead : lead & (0x7f >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(message[i + k]);
            if ((next & 0xc0) != 0x80) {
                return false;
            }
            code = code << 6 | (next & 0x3f);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < least[length] || code > 0x10ffff || (code >= 0xd800 && code < 0xe000) ||
            code < 0x20 || (code >= 0x7f && code < 0xa0)) {
            return false;
        }
        i += length;
    }
    return true;
}

} // namespace orvanta::fuzz
