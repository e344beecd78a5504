// The VSOP87A series files as the table generator reads them: the terms of every series, each
// field a published decimal, or a message that names the file and line.

#include "fuzz/fuzz_input.h"
#include "tools/vsop87gen/series_file.h"

#include <numeric>
#include <sstream>

using namespace orvanta::vsop87gen;

namespace {

// Earth's layout with one term a series, so that every header, the records after the last series
// and the end of the file are within reach of a few kilobytes.
constexpr BodyLayout ONE_TERM_EACH{"ONE_TERM_EACH",
                                   "one.ear",
                                   "EARTH  ",
                                   '3',
                                   {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}};

bool isDecimal(const std::string& field) {
    return !field.empty() && field.find_first_not_of("-.0123456789") == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(orvanta::fuzz::textOf(data, size));
    for (const BodyLayout* body : {&ONE_TERM_EACH, &EARTH, &MARS}) {
        std::istringstream in(text);
        const std::string path = body->fileName;
        try {
            const std::vector<Term> terms = readBody(in, path, *body);
            const int expected = std::accumulate(body->counts.begin(), body->counts.end(), 0);
            orvanta::fuzz::check(terms.size() == static_cast<std::size_t>(expected),
                                 "every term of every series", path);
            for (const Term& term : terms) {
                orvanta::fuzz::check(isDecimal(term.a) && isDecimal(term.b) && isDecimal(term.c),
                                     "the terms are decimals",
                                     term.a + " " + term.b + " " + term.c);
            }
        } catch (const ParseError& error) {
            orvanta::fuzz::check(error.message.rfind(path + ":", 0) == 0,
                                 "the message names the file", error.message);
        }
    }
    return 0;
}
