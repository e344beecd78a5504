#pragma once

// A star as observers name it: by its proper name where the IAU gives one, else by its Bayer
// letter or Flamsteed number with its constellation, the letters written as Greek letters
// ("β Vir", "α² Lib", "44 Oph"), the constellation in its genitive where there is room
// ("β Virginis"); a star the catalogue gives neither by its number ("HR 3803").

#include "ephemeris/star_table.h"

#include <string>
#include <string_view>

namespace orvanta {

// "β", "μ¹": the catalogue's three letters and the component's digit ("Bet", "Mu1") as written;
// empty for letters that are not one of the twenty-four.
std::string greekLetter(std::string_view catalogue);

// The Latin genitive of a constellation by its abbreviation ("Vir": "Virginis"); empty for an
// abbreviation that is not one of the 88.
std::string_view genitiveOf(std::string_view abbreviation);

// "β Vir", or with the genitive "β Virginis": the Bayer letter, else the Flamsteed number, else
// the catalogue's number.
std::string designationOf(const Star& star, bool genitive = false);

// Where a picture has room for a word: the proper name, else the designation ("β Vir").
std::string shortName(const Star& star);

// In words: "β Virginis (Zavijava)"; a first-magnitude star by its name alone ("Regulus"), which
// is what observers call it.
std::string starInWords(const Star& star);

} // namespace orvanta
