#include "tools/vsop87gen/series_file.h"

namespace orvanta::vsop87gen {

const BodyLayout EARTH{
    "VSOP87A_EARTH",
    "VSOP87A.ear",
    "EARTH  ",
    '3',
    {843, 491, 204, 18, 15, 6, 854, 496, 202, 17, 15, 6, 178, 120, 53, 12, 6, 2}};
const BodyLayout MARS{
    "VSOP87A_MARS",
    "VSOP87A.mar",
    "MARS   ",
    '4',
    {1584, 956, 387, 135, 41, 21, 1612, 969, 384, 136, 44, 21, 355, 232, 122, 51, 16, 7}};

namespace {

constexpr std::size_t RECORD_LENGTH = 132;

[[noreturn]] void fail(const std::string& path, std::size_t line, const std::string& what) {
    throw ParseError{path + ":" + std::to_string(line) + ": " + what};
}

// Columns are 1-based and inclusive, as the published record layout gives them.
std::string_view columns(std::string_view record, std::size_t first, std::size_t last) {
    return record.substr(first - 1, last - first + 1);
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ') {
        s.remove_prefix(1);
    }
    while (!s.empty() && s.back() == ' ') {
        s.remove_suffix(1);
    }
    return s;
}

bool parseUnsigned(std::string_view text, int& value) {
    text = trimmed(text);
    if (text.empty() || text.size() > 9) {
        return false;
    }
    value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') {
            return false;
        }
        value = value * 10 + (ch - '0');
    }
    return true;
}

// A fixed-point field: optional minus, digits, a point and exactly 11 decimals.
bool isPublishedDecimal(std::string_view text) {
    if (!text.empty() && text.front() == '-') {
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos || point == 0 || text.size() - point - 1 != 11) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i != point && (text[i] < '0' || text[i] > '9')) {
            return false;
        }
    }
    return true;
}

std::string decimalField(const std::string& path, std::size_t line, std::string_view record,
                         std::size_t first, std::size_t last, const char* name) {
    const std::string_view text = trimmed(columns(record, first, last));
    if (!isPublishedDecimal(text)) {
        fail(path, line,
             std::string("term record: ") + name + " (columns " + std::to_string(first) + "-" +
                 std::to_string(last) + ") is not a number with 11 decimals: '" +
                 std::string(text) + "'");
    }
    return std::string(text);
}

void expectDigit(const std::string& path, std::size_t line, std::string_view record,
                 std::size_t column, char expected, const char* what) {
    if (record[column - 1] != expected) {
        fail(path, line,
             std::string(what) + " (column " + std::to_string(column) + ") is '" +
                 record[column - 1] + "', expected '" + expected + "'");
    }
}

std::string seriesNameOf(int k) {
    return std::string(1, "XYZ"[k / 6]) + static_cast<char>('0' + k % 6);
}

// The header record of series k; its term count.
int readHeader(const std::string& path, std::size_t line, const std::string& record,
               const BodyLayout& body, int k) {
    const std::string seriesName = seriesNameOf(k);
    if (columns(record, 1, 17) != " VSOP87 VERSION A") {
        fail(path, line, "expected the header of series " + seriesName);
    }
    expectDigit(path, line, record, 18, '1', "header: version code");
    if (columns(record, 23, 29) != body.headerName) {
        fail(path, line,
             "header: body is '" + std::string(columns(record, 23, 29)) + "', expected '" +
                 std::string(body.headerName) + "'");
    }
    expectDigit(path, line, record, 42, static_cast<char>('1' + k / 6), "header: coordinate");
    expectDigit(path, line, record, 60, static_cast<char>('0' + k % 6), "header: power of T");
    int count = 0;
    if (!parseUnsigned(columns(record, 61, 67), count)) {
        fail(path, line, "header: term count (columns 61-67) is not a number");
    }
    if (count != body.counts[k]) {
        fail(path, line,
             "header: series " + seriesName + " has " + std::to_string(count) +
                 " terms, expected " + std::to_string(body.counts[k]));
    }
    return count;
}

// The term record of the given rank in series k.
Term readTerm(const std::string& path, std::size_t line, const std::string& record,
              const BodyLayout& body, int k, int rank) {
    expectDigit(path, line, record, 1, ' ', "term record: column 1");
    expectDigit(path, line, record, 2, '1', "term record: version code");
    expectDigit(path, line, record, 3, body.bodyCode, "term record: body code");
    expectDigit(path, line, record, 4, static_cast<char>('1' + k / 6), "term record: coordinate");
    expectDigit(path, line, record, 5, static_cast<char>('0' + k % 6), "term record: power of T");
    int recordRank = 0;
    if (!parseUnsigned(columns(record, 6, 10), recordRank) || recordRank != rank) {
        fail(path, line,
             "term record: rank '" + std::string(trimmed(columns(record, 6, 10))) + "', expected " +
                 std::to_string(rank));
    }
    return Term{decimalField(path, line, record, 80, 97, "A"),
                decimalField(path, line, record, 98, 111, "B"),
                decimalField(path, line, record, 112, 131, "C")};
}

} // namespace

std::vector<Term> readBody(std::istream& in, const std::string& path, const BodyLayout& body) {
    std::vector<Term> terms;
    std::string record;
    std::size_t line = 0;
    const auto nextRecord = [&](const std::string& expecting) {
        if (!std::getline(in, record)) {
            fail(path, line + 1, "file ends where " + expecting + " was expected");
        }
        ++line;
        if (!record.empty() && record.back() == '\r') {
            record.pop_back();
        }
        if (record.size() != RECORD_LENGTH) {
            fail(path, line,
                 "record has " + std::to_string(record.size()) + " characters, expected " +
                     std::to_string(RECORD_LENGTH));
        }
    };
    for (int k = 0; k < SERIES; ++k) {
        nextRecord("the header of series " + seriesNameOf(k));
        const int count = readHeader(path, line, record, body, k);
        for (int rank = 1; rank <= count; ++rank) {
            nextRecord("term " + std::to_string(rank) + " of series " + seriesNameOf(k));
            terms.push_back(readTerm(path, line, record, body, k, rank));
        }
    }
    std::string rest;
    if (std::getline(in, rest)) {
        fail(path, line + 1, "unexpected content after the last series");
    }
    return terms;
}

} // namespace orvanta::vsop87gen
