#include "tools/snapshot/snapshot_arguments.h"

#include "ephemeris/place.h"
#include "tools/cli/arguments.h"

#include <algorithm>

namespace orvanta {

namespace {

int parseSide(std::string_view text, const std::string& whole) {
    const std::optional<int> value = numberOf<int>(text);
    if (!value || *value < 1 || *value > 4096) {
        throw BadArgument{"--size " + quoteArgument(whole) +
                          " is not WIDTHxHEIGHT with both from 1 to 4096"};
    }
    return *value;
}

} // namespace

std::optional<SnapshotRequest> parseSnapshotArguments(const std::vector<std::string>& args,
                                                      bool& help, std::string& error) {
    help = false;
    SnapshotRequest request;
    bool haveUtc = false;
    bool haveOutput = false;
    bool haveSize = false;
    try {
        for (std::size_t i = 0; i < args.size(); ++i) {
            const std::string& option = args[i];
            if (option == "--help" || option == "-h") {
                help = true;
                return std::nullopt;
            }
            auto value = [&]() -> const std::string& {
                if (i + 1 >= args.size()) {
                    throw BadArgument{option + " needs a value"};
                }
                return args[++i];
            };
            auto once = [&](bool& given) {
                if (given) {
                    throw BadArgument{option + " may be given only once"};
                }
                given = true;
            };
            if (option == "--utc") {
                once(haveUtc);
                request.utc = parseUtcArgument(option, value());
            } else if (option == "--out") {
                once(haveOutput);
                request.output = value();
                if (request.output.empty()) {
                    throw BadArgument{"--out needs a file name"};
                }
            } else if (option == "--sky") {
                once(request.sky);
            } else if (option == "--place") {
                bool givenBefore = request.place.has_value();
                once(givenBefore);
                request.place = parsePlaceArgument(option, value());
            } else if (option == "--approaches") {
                once(request.approaches);
            } else if (option == "--from" || option == "--years") {
                int& field = option == "--from" ? request.fromYear : request.years;
                bool givenBefore = field != 0;
                once(givenBefore);
                const std::string& text = value();
                const auto [low, high] =
                    option == "--from" ? std::pair{1, 5990} : std::pair{5, 200};
                const std::optional<int> number = numberOf<int>(text);
                if (!number || *number < low || *number > high) {
                    throw BadArgument{option + " " + quoteArgument(text) +
                                      " is not a whole number from " + std::to_string(low) +
                                      " to " + std::to_string(high)};
                }
                field = *number;
            } else if (option == "--size") {
                once(haveSize);
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
        if (!haveOutput || (!haveUtc && !request.approaches)) {
            throw BadArgument{"--utc and --out are needed (see --help)"};
        }
        if (!haveUtc) {
            request.utc = systemUtcClock();
        }
        if (request.place && !request.sky) {
            throw BadArgument{"--place needs --sky"};
        }
        if ((request.fromYear != 0 || request.years != 0) && !request.approaches) {
            throw BadArgument{"--from and --years need --approaches"};
        }
        if (request.sky && request.approaches) {
            throw BadArgument{"--sky and --approaches cannot be combined"};
        }
        if (request.fromYear + std::max(request.years, 5) > 6000) {
            throw BadArgument{"--from and --years: closest approaches are found only up to 6000"};
        }
    } catch (const BadArgument& bad) {
        error = bad.message;
        return std::nullopt;
    }
    return request;
}

} // namespace orvanta
