#include "rules/whole_text.h"

namespace orvanta {

std::string_view trimmed(std::string_view text) {
    constexpr std::string_view SPACE = " \t";
    const std::size_t first = text.find_first_not_of(SPACE);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(SPACE) - first + 1);
}

} // namespace orvanta
