#pragma once

// Text from outside read whole: a typed number, a kept value, a part of a typed place. Every
// number the program and the tools take from text is read here, whatever the process locale.

#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>

namespace orvanta {

// The text without the spaces and tabs at its ends.
std::string_view trimmed(std::string_view text);

// The number that the whole of `text` is, in plain decimal ("12", "-3", "2452878.9"; no "+", no
// spaces, no hexadecimal, no "inf"), finite; nothing otherwise.
template <typename Number>
std::optional<Number> wholeNumber(std::string_view text) {
    Number value{};
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end ||
        !std::isfinite(static_cast<double>(value))) {
        return std::nullopt;
    }
    return value;
}

} // namespace orvanta
