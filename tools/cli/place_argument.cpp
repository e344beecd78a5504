#include "tools/cli/place_argument.h"

#include "tools/cli/arguments.h"

namespace orvanta {

PlaceEntry parsePlaceArgument(std::string_view option, std::string_view text) {
    std::string why;
    std::optional<PlaceEntry> place = placeOfEntry(text, why);
    if (!place) {
        throw BadArgument{std::string(option) + " " + quoteArgument(text) + " " + why};
    }
    return *place;
}

} // namespace orvanta
