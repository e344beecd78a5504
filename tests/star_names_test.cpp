// Checked against tests/sky/names.tsv, which make_names_reference.py derives independently.

#include "display/sky_words.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/star_names.h"
#include "ephemeris/stars.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace orvanta {
namespace {

const Star* starNumbered(int number) {
    const auto found = std::find_if(stars().begin(), stars().end(),
                                    [&](const Star& s) { return s.number == number; });
    return found != stars().end() ? &*found : nullptr;
}

TEST(StarNames, AsTheCatalogueDesignatesThem) {
    std::ifstream table(ORVANTA_NAMES_REFERENCE);
    std::string line;
    std::getline(table, line); // the heading
    int rows = 0;
    while (std::getline(table, line)) {
        SCOPED_TRACE(line);
        std::istringstream fields(line);
        int number = 0;
        std::string designation, name;
        fields >> number;
        fields.ignore(1);
        std::getline(fields, designation, '\t');
        std::getline(fields, name);
        const Star* star = starNumbered(number);
        ASSERT_NE(star, nullptr);
        EXPECT_EQ(designationOf(*star), designation);
        EXPECT_EQ(star->name, name == "-" ? "" : name);
        EXPECT_EQ(shortName(*star), name == "-" ? designation : name);
        ++rows;
    }
    EXPECT_GT(rows, 100);
}

// First magnitude by name alone; fainter named stars keep their letter so charts can match.
TEST(StarNames, InWords) {
    for (const Star& star : stars()) {
        if (!star.constellation.empty()) {
            EXPECT_FALSE(genitiveOf(star.constellation).empty()) << star.constellation;
        }
    }
    const struct {
        int number;
        const char* words;
    } cases[] = {{4540, "β Virginis (Zavijava)"},
                 {3982, "Regulus"},
                 {4386, "σ Leonis"},
                 {3803, "HR 3803"},
                 {6252, "μ² Scorpii (Pipirima)"}};
    for (const auto& c : cases) {
        ASSERT_NE(starNumbered(c.number), nullptr);
        EXPECT_EQ(starInWords(*starNumbered(c.number)), c.words);
    }
    EXPECT_EQ(greekLetter("Alp"), "α");
    EXPECT_EQ(greekLetter("Xyz"), "");
    EXPECT_EQ(greekLetter("Mu1x"), "");
}

// Beyond 10° the line says which rule picked the star, lest it read as a close pairing.
TEST(StarNames, MarsFromTheStar) {
    const auto named = [](const char* name) {
        return &*std::find_if(stars().begin(), stars().end(),
                              [&](const Star& s) { return s.name == name; });
    };
    const struct {
        NearStar near;
        const char* line;
    } cases[] = {
        {{named("Zavijava"), 1.35, "south-east"},
         "Mars is 1.4° south-east of β Virginis (Zavijava)."},
        {{named("Denebola"), 13.4, "south"},
         "No star within 10°; the brightest within 20°: Mars is 13.4° south of β Leonis "
         "(Denebola)."},
    };
    SkyTonight sky = skyTonight(julianDateValue(julianDateFromCalendar(2029, 6, 1, 13)),
                                Place{1.29, 103.85, 15});
    for (const auto& c : cases) {
        sky.near = c.near;
        const std::vector<std::string> lines =
            tonightLines(sky, [](double) { return std::string("00:00 UTC"); });
        EXPECT_NE(std::find(lines.begin(), lines.end(), c.line), lines.end()) << c.line;
    }
}

} // namespace
} // namespace orvanta
