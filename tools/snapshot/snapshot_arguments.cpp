#include "tools/snapshot/snapshot_arguments.h"

#include "ephemeris/mars_disk.h"
#include "tools/cli/arguments.h"
#include "tools/cli/place_argument.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace orvanta {

namespace {

int parseSide(std::string_view text, const std::string& whole) {
    const std::optional<int> value = wholeNumber<int>(text);
    if (!value || *value < 1 || *value > 4096) {
        throw BadArgument{"--size " + quoteArgument(whole) +
                          " is not WIDTHxHEIGHT with both from 1 to 4096"};
    }
    return *value;
}

int parseYears(const std::string& option, std::string_view text, int low, int high) {
    const std::optional<int> number = wholeNumber<int>(text);
    if (!number || *number < low || *number > high) {
        throw BadArgument{option + " " + quoteArgument(text) + " is not a whole number from " +
                          std::to_string(low) + " to " + std::to_string(high)};
    }
    return *number;
}

// The value `named` gives for a name given to `option`, else refused with the names it takes.
template <typename Value>
std::optional<Value> namedValue(const std::string& option, const std::string& name,
                                std::optional<Value> (*named)(std::string_view),
                                const char* names) {
    const std::optional<Value> value = named(name);
    if (!value) {
        throw BadArgument{option + " " + quoteArgument(name) + " is not " + names};
    }
    return value;
}

// What was given, beside the request itself.
struct Given {
    bool utc = false, output = false, size = false;
};

// --nights and --feature into the request; false for another option.
bool readNightsOption(SnapshotRequest& request, const std::string& option,
                      const std::function<const std::string&()>& value) {
    const auto once = [&](bool before) {
        if (before) {
            throw BadArgument{option + " may be given only once"};
        }
    };
    if (option == "--nights") {
        once(request.nightsYear != 0);
        request.nightsYear = parseYears(option, value(), FIRST_YEAR, 5999);
        return true;
    }
    if (option != "--feature") {
        return false;
    }
    once(request.feature >= 0);
    const std::string& name = value();
    const std::span<const MarsFeature> all = marsFeatures();
    const auto found =
        std::find_if(all.begin(), all.end(), [&](const MarsFeature& f) { return name == f.name; });
    if (found == all.end()) {
        throw BadArgument{"--feature " + quoteArgument(name) +
                          " is not a feature of Mars named in the Nights tab"};
    }
    request.feature = static_cast<int>(found - all.begin());
    return true;
}

// One option and its value, if it has one, into the request.
void readOption(SnapshotRequest& request, Given& given, const std::string& option,
                const std::function<const std::string&()>& value) {
    const auto once = [&](bool before) {
        if (before) {
            throw BadArgument{option + " may be given only once"};
        }
    };
    if (option == "--utc") {
        once(std::exchange(given.utc, true));
        request.utc = parseUtcArgument(option, value());
    } else if (option == "--out") {
        once(std::exchange(given.output, true));
        request.output = value();
        if (request.output.empty()) {
            throw BadArgument{"--out needs a file name"};
        }
    } else if (option == "--sky") {
        once(std::exchange(request.sky, true));
    } else if (option == "--place") {
        once(request.place.has_value());
        request.place = parsePlaceArgument(option, value());
    } else if (option == "--disk") {
        once(request.disk.has_value());
        request.disk =
            namedValue(option, value(), orientationNamed, "north-up, mirrored or south-up");
    } else if (option == "--clock") {
        once(request.clock.has_value());
        request.clock = namedValue(option, value(), clockNamed, "place, ut or computer");
    } else if (option == "--typed") {
        once(request.typed.has_value());
        request.typed = parseUtcArgument(option, value());
    } else if (option == "--approaches") {
        once(std::exchange(request.approaches, true));
    } else if (option == "--from") {
        once(request.fromYear != 0);
        request.fromYear = parseYears(option, value(), FIRST_YEAR, 5990);
    } else if (option == "--years") {
        once(request.years != 0);
        request.years = parseYears(option, value(), 5, 200);
    } else if (option == "--loop") {
        once(request.loopYear != 0);
        request.loopYear = parseYears(option, value(), FIRST_YEAR, 5999);
    } else if (option == "--red") {
        once(std::exchange(request.red, true));
    } else if (option == "--south") {
        once(std::exchange(request.southUp, true));
    } else if (option == "--size") {
        once(std::exchange(given.size, true));
        request.sizeGiven = true;
        const std::string& size = value();
        const std::size_t x = size.find('x');
        if (x == std::string::npos) {
            throw BadArgument{"--size " + quoteArgument(size) +
                              " is not WIDTHxHEIGHT with both from 1 to 4096"};
        }
        request.width = parseSide(std::string_view(size).substr(0, x), size);
        request.height = parseSide(std::string_view(size).substr(x + 1), size);
    } else {
        throw BadArgument{"unknown option " + quoteArgument(option) + " (see --help)"};
    }
}

void checkCombination(const SnapshotRequest& request, const Given& given) {
    const struct {
        bool refused;
        const char* message;
    } rules[] = {
        {!given.output || (!given.utc && !request.typed && !request.approaches &&
                           request.loopYear == 0 && request.nightsYear == 0),
         "--utc and --out are needed (see --help)"},
        {given.utc && request.typed, "--utc and --typed cannot be combined"},
        {request.clock && !request.sky, "--clock needs --sky"},
        {request.typed && !request.sky, "--typed needs --sky"},
        {request.place && !request.sky && request.nightsYear == 0,
         "--place needs --sky or --nights"},
        {request.feature >= 0 && request.nightsYear == 0, "--feature needs --nights"},
        {request.nightsYear != 0 &&
             (request.sky || request.approaches || given.utc || request.loopYear != 0),
         "--nights stands alone: not with --sky, --approaches, --loop or --utc"},
        {request.disk && !request.sky, "--disk needs --sky"},
        {request.southUp && request.loopYear == 0, "--south needs --loop"},
        {request.red && !request.sky && !request.approaches, "--red needs --sky or --approaches"},
        {(request.fromYear != 0 || request.years != 0) && !request.approaches,
         "--from and --years need --approaches"},
        {request.sky && request.approaches, "--sky and --approaches cannot be combined"},
        {request.loopYear != 0 && (request.sky || request.approaches || given.utc),
         "--loop stands alone: not with --sky, --approaches or --utc"},
        {request.fromYear + std::max(request.years, 5) > 6000,
         "--from and --years: closest approaches are found only up to 6000"},
    };
    for (const auto& rule : rules) {
        if (rule.refused) {
            throw BadArgument{rule.message};
        }
    }
}

} // namespace

std::optional<SnapshotRequest> parseSnapshotArguments(const std::vector<std::string>& args,
                                                      bool& help, std::string& error) {
    help = false;
    SnapshotRequest request;
    Given given;
    try {
        for (std::size_t i = 0; i < args.size(); ++i) {
            const std::string& option = args[i];
            if (option == "--help" || option == "-h") {
                help = true;
                return std::nullopt;
            }
            const std::function<const std::string&()> value = [&]() -> const std::string& {
                if (i + 1 >= args.size()) {
                    throw BadArgument{option + " needs a value"};
                }
                return args[++i];
            };
            if (!readNightsOption(request, option, value)) {
                readOption(request, given, option, value);
            }
        }
        checkCombination(request, given);
    } catch (const BadArgument& bad) {
        error = bad.message;
        return std::nullopt;
    }
    if (!given.utc) {
        request.utc = systemUtcClock();
    }
    return request;
}

} // namespace orvanta
