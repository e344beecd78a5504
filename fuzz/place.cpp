// A place typed as a latitude and longitude, in any form: finite and on the globe, or a reason.

#include "fuzz/fuzz_input.h"
#include "towns/place_text.h"

#include <cmath>

using namespace orvanta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string why;
    const std::optional<Place> place = parsePlace(fuzz::textOf(data, size), why);
    if (!place) {
        fuzz::check(fuzz::isOneLine(why), "a refusal gives its reason", why);
        return 0;
    }
    fuzz::check(std::isfinite(place->latitude) && std::isfinite(place->longitude) &&
                    std::isfinite(place->height),
                "the place is finite");
    fuzz::check(std::fabs(place->latitude) <= 90 && std::fabs(place->longitude) <= 180,
                "the place is on the globe");
    return 0;
}
