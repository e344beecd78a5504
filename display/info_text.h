#pragma once

#include "display/number_text.h"
#include "ephemeris/encounter_state.h"

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>

namespace orvanta {

// The info pane's texts: four captioned boxes and their eleven lines, in drawing order.

constexpr int INFO_BOX_COUNT = 4;
constexpr int INFO_LINE_COUNT = 11;
constexpr std::size_t INFO_LINE_BYTES = 64;

using InfoLine = TextLine<INFO_LINE_BYTES>;

struct InfoBox {
    const char* title; // as stored: "&&" stands for a shown "&"
    int lineCount;
};

constexpr InfoBox INFO_BOXES[INFO_BOX_COUNT] = {
    {"Current Time", 2},
    {"Distance to Mars", 4},
    {"Size && Brightness", 2},
    {"Closest Approach", 3},
};

struct InfoText {
    InfoLine lines[INFO_LINE_COUNT]; // box by box, each box's lines top to bottom
};

// Builds every line from the state and one calendar time, so the date and clock lines agree.
InfoText buildInfoText(const EncounterState& state, std::time_t now);

// A box's title as stored; the countdown's names the approach it counts to when that is not 2003's
// (as the latest refresh counted) by its year, which the box's caption always has room for:
// "Closest Approach 2027".
std::string infoBoxTitle(int box);

// A stored title as it is shown: "&&" becomes "&"; a single "&" only marks the next character.
std::string titleAsShown(std::string_view title);

} // namespace orvanta
