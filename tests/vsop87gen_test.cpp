// The table generator is the build's guard on the published files: every malformed input must stop
// it with a message that names the file and line.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path DATA = ORVANTA_VSOP87_DATA;
const std::string GENERATOR = ORVANTA_VSOP87GEN;
const fs::path STARS = ORVANTA_STAR_DATA;
const fs::path CONSTELLATIONS = ORVANTA_CONSTELLATION_DATA;
const std::string STAR_GENERATOR = ORVANTA_STARTABLES;

using Lines = std::vector<std::string>;

Lines readLines(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    Lines lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

void writeLines(const fs::path& path, const Lines& lines, const char* ending = "\n") {
    std::ofstream out(path, std::ios::binary);
    for (const std::string& line : lines) {
        out << line << ending;
    }
}

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class GeneratorTest : public testing::Test {
  protected:
    GeneratorTest() { fs::create_directories(dir); }
    ~GeneratorTest() override { fs::remove_all(dir); }

    // Runs a generator on its inputs; returns its exit status and leaves its error text in
    // `errors`.
    int run(const std::string& generator, const std::vector<fs::path>& inputs,
            const fs::path& output) {
        const fs::path log = dir / "stderr.txt";
        std::string command = "'" + generator + "' '" + output.string() + "'";
        for (const fs::path& input : inputs) {
            command += " '" + input.string() + "'";
        }
        command += " 2>'" + log.string() + "'";
        const int status = std::system(command.c_str());
        errors = slurp(log);
        return status;
    }
    // A refused input fails with a message that names the file and line, and leaves no table, not
    // even an earlier run's.
    void expectRefused(const std::string& generator, const std::vector<fs::path>& inputs,
                       const fs::path& named, const std::string& message) {
        const fs::path output = dir / "tables.cpp";
        writeLines(output, {"stale"});
        EXPECT_NE(run(generator, inputs, output), 0);
        EXPECT_NE(errors.find(named.string() + message), std::string::npos) << errors;
        EXPECT_FALSE(fs::exists(output));
    }

    const fs::path dir =
        fs::temp_directory_path() / ("vsop87gen-" + std::to_string(::getpid()) + "-" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    std::string errors;
};

TEST_F(GeneratorTest, LineEndingsDoNotChangeTheTables) {
    ASSERT_EQ(run(GENERATOR, {DATA / "VSOP87A.ear", DATA / "VSOP87A.mar"}, dir / "lf.cpp"), 0)
        << errors;
    writeLines(dir / "crlf.ear", readLines(DATA / "VSOP87A.ear"), "\r\n");
    writeLines(dir / "crlf.mar", readLines(DATA / "VSOP87A.mar"), "\r\n");
    ASSERT_EQ(run(GENERATOR, {dir / "crlf.ear", dir / "crlf.mar"}, dir / "crlf.cpp"), 0) << errors;
    EXPECT_EQ(slurp(dir / "lf.cpp"), slurp(dir / "crlf.cpp"));
}

struct Defect {
    void (*apply)(Lines&);
    const char* message; // expected after "<file>:"
};

TEST_F(GeneratorTest, MalformedOrMissingFilesFail) {
    const Lines earth = readLines(DATA / "VSOP87A.ear");
    const Defect defects[] = {
        {[](Lines& l) { l[0].replace(60, 7, "    842"); },
         ":1: header: series X0 has 842 terms, expected 843"},
        {[](Lines& l) { l[0].replace(22, 7, "MARS   "); },
         ":1: header: body is 'MARS   ', expected 'EARTH  '"},
        {[](Lines& l) { l[844].replace(59, 1, "2"); }, ":845: header: power of T"},
        {[](Lines& l) { l[844] = l[843]; }, ":845: expected the header of series X1"},
        {[](Lines& l) { l[1].replace(85, 1, "x"); }, ":2: term record: A"},
        {[](Lines& l) { l[3].replace(111, 20, std::string(20, ' ')); }, ":4: term record: C"},
        {[](Lines& l) { std::swap(l[2], l[3]); }, ":3: term record: rank '3', expected 2"},
        {[](Lines& l) { l[5][2] = '4'; }, ":6: term record: body code"},
        {[](Lines& l) { l[5][3] = '2'; }, ":6: term record: coordinate"},
        {[](Lines& l) { l[99].resize(120); }, ":100: record has 120 characters"},
        {[](Lines& l) { l.resize(l.size() - 10); },
         ":3547: file ends where the header of series Z4 was expected"},
        {[](Lines& l) { l.push_back(l.back()); },
         ":3557: unexpected content after the last series"},
    };
    for (const Defect& defect : defects) {
        SCOPED_TRACE(defect.message);
        Lines lines = earth;
        defect.apply(lines);
        writeLines(dir / "VSOP87A.ear", lines);
        expectRefused(GENERATOR, {dir / "VSOP87A.ear", DATA / "VSOP87A.mar"}, dir / "VSOP87A.ear",
                      defect.message);
    }
    expectRefused(GENERATOR, {dir / "none.ear", DATA / "VSOP87A.mar"}, dir / "none.ear",
                  ": cannot open");
}

// A star the reader could not read would be drawn at 0 h, 0°, a band skipped would leave Mars in
// no constellation: the build stops instead.
TEST_F(GeneratorTest, BadStarRowsStopTheBuild) {
    const struct {
        const char* file;
        std::size_t line; // replaced, from 1
        const char* row;
        const char* message;
    } defects[] = {
        {"stars.dat", 5, "2491  6.75247697", ":5: the declination is missing"},
        {"stars.dat", 7, "x 1 2 3 4 5", ":7: the catalogue number is missing"},
        {"stars.dat", 5, "2491  25.1 -16.7 -1.46 0 0 Sirius", ":5: the right ascension (h)"},
        {"stars.dat", 5, "2491  6.7 -16.7 nan 0 0 Sirius", ":5: the magnitude"},
        {"stars.dat", 8, "2491 6.7 -16.7 -1.46 0 0 9a Alp CMa Sirius", ":8: the Flamsteed number"},
        {"stars.dat", 8, "2491 6.7 -16.7 -1.46 0 0 9 Alpha CMa Sirius", ":8: the Bayer letter"},
        {"stars.dat", 8, "2491 6.7 -16.7 -1.46 0 0 9 Alp Cxx Sirius", ": HR 2491's Cxx is no"},
        {"figures.dat", 3, "42.3187 2.0649 41.4019", ":3: the second right ascension"},
        {"figures.dat", 4, "42.3187 2.0649 41.4019 1.6134 7", ":4: more than four numbers"},
        {"figures.dat", 4, "91 2.0649 41.4019 1.6134", ":4: the first declination"},
        {"boundaries.dat", 3, "  8.0000 14.5000  86.5000", ":3: the constellation's abbreviation"},
        {"boundaries.dat", 3, " 14.5000  8.0000  86.5000 UMi", ":3: the upper right ascension is"},
        {"boundaries.dat", 3, "  8,0000 14,5000  86,5000 UMi", ":3: the lower right ascension"},
        {"boundaries.dat", 3, "  8.0000 14.5000  86.5000 Xyz", ": Xyz has no name"},
        {"names.dat", 2, "And", ":2: the name is missing"},
    };
    for (const auto& defect : defects) {
        SCOPED_TRACE(defect.row);
        for (const char* name : {"stars.dat", "figures.dat"}) {
            fs::copy_file(STARS / name, dir / name, fs::copy_options::overwrite_existing);
        }
        for (const char* name : {"boundaries.dat", "names.dat"}) {
            fs::copy_file(CONSTELLATIONS / name, dir / name, fs::copy_options::overwrite_existing);
        }
        Lines lines = readLines(dir / defect.file);
        lines.at(defect.line - 1) = defect.row;
        writeLines(dir / defect.file, lines);
        expectRefused(
            STAR_GENERATOR,
            {dir / "stars.dat", dir / "figures.dat", dir / "boundaries.dat", dir / "names.dat"},
            dir / defect.file, defect.message);
    }
}

} // namespace
