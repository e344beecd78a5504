// The settings file's text: anything parsed is rewritten with a key set and read back. The set
// changes one line, or adds lines (giving the last line its end first where it has none); every
// other line keeps its bytes and every other key its value. The kept values are checked without
// ever passing a value out of range.

#include "rules/settings_text.h"

#include "fuzz/fuzz_input.h"

#include <cmath>

using namespace orvanta;

namespace {

// The lines with their ends, as the bytes stand.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
        lines.push_back(text.substr(0, length));
        text.remove_prefix(length);
    }
    return lines;
}

std::string_view endOf(std::string_view line) {
    return line.ends_with("\r\n") ? "\r\n" : line.ends_with('\n') ? "\n" : "";
}

// A key as the program names them: "section/name", each of letters and digits.
bool plain(std::string_view key) {
    const std::size_t slash = key.find('/');
    return slash != 0 && slash + 1 < key.size() &&
           key.find_first_not_of(
               "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789/") ==
               std::string_view::npos &&
           key.find('/', slash + 1) == std::string_view::npos;
}

// Keys the text may hold, found roughly: one that is not there reads as absent before and after.
std::vector<std::string> keysIn(const std::vector<std::string_view>& lines) {
    std::vector<std::string> keys{"countdown/target"};
    std::string section = "General";
    for (std::string_view line : lines) {
        if (line.starts_with('[') && line.find(']') != std::string_view::npos) {
            section = std::string(line.substr(1, line.find(']') - 1));
        } else if (const std::size_t equals = line.find('='); equals != std::string_view::npos) {
            std::string_view name = line.substr(0, equals);
            name.remove_prefix(std::min(name.find_first_not_of(" \t"), name.size()));
            name = name.substr(0, name.find_last_not_of(" \t") + 1);
            if (!name.empty() && name.find('/') == std::string_view::npos) {
                keys.push_back(section + '/' + std::string(name));
            }
        }
    }
    return keys;
}

void checkOneLineChanged(std::string_view before, std::string_view after) {
    const std::vector<std::string_view> was = linesOf(before), is = linesOf(after);
    std::size_t front = 0, back = 0;
    while (front < was.size() && front < is.size() && was[front] == is[front]) {
        ++front;
    }
    while (back < was.size() - front && back < is.size() - front &&
           was[was.size() - 1 - back] == is[is.size() - 1 - back]) {
        ++back;
    }
    fuzz::check(was.size() - front - back <= 1, "a set changes at most one line", before);
    if (was.size() - front - back == 1) {
        fuzz::check(is.size() > front, "a changed line is still there", before);
        const std::string_view old = was[front], now = is[front];
        const bool endGiven = endOf(old).empty() && now.size() > old.size() &&
                              now.starts_with(old) && now.size() - old.size() == endOf(now).size();
        fuzz::check(endGiven || endOf(old) == endOf(now), "a line keeps its end", before);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(fuzz::textOf(data, size));
    if (const std::optional<double> n = settingNumber(text, -90, 90)) {
        fuzz::check(std::isfinite(*n) && std::fabs(*n) <= 90, "a number in range", text);
    }
    if (const auto record = settingReminderRecord(text, 4)) {
        fuzz::check(record->second >= 0 && record->second < 4, "a reminder point", text);
    }
    const std::optional<SettingsText> settings = SettingsText::parse(text);
    if (!settings) {
        return 0;
    }
    // The program sets only text (UTF-8 without NUL), as a QString gives it.
    std::string value = text.substr(0, 16);
    if (!SettingsText::parse(value)) {
        value = "next";
    }
    const std::vector<std::string> keys = keysIn(linesOf(text));
    std::string key = keys[size == 0 ? 0 : data[size - 1] % keys.size()];
    if (!plain(key)) {
        key = keys.front();
    }
    SettingsText changed = *settings;
    changed.set(key, value);
    const std::string written = changed.text();
    checkOneLineChanged(text, written);
    const std::optional<SettingsText> again = SettingsText::parse(written);
    fuzz::check(again.has_value(), "what is written is read again", text);
    for (const std::string& other : keys) {
        fuzz::check(again->value(other) == (other == key ? value : settings->value(other)),
                    other == key ? "the value set is read back" : "another key keeps its value",
                    text);
    }
    return 0;
}
