// The settings file's text: anything parsed is rewritten with a key set and read back, keeping
// every other line, and the kept values are checked without ever passing a value out of range.

#include "display/settings_text.h"

#include "fuzz/fuzz_input.h"

#include <cmath>

using namespace orvanta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(fuzz::textOf(data, size));
    if (const std::optional<double> n = settingNumber(text, -90, 90)) {
        fuzz::check(std::isfinite(*n) && std::fabs(*n) <= 90, "a number in range", text);
    }
    if (const auto record = settingReminderRecord(text, 4)) {
        fuzz::check(record->second >= 0 && record->second < 4, "a reminder point", text);
    }
    std::optional<SettingsText> settings = SettingsText::parse(text);
    if (!settings) {
        return 0;
    }
    // The program sets only text (UTF-8 without NUL), as a QString gives it.
    std::string value = text.substr(0, 16);
    if (!SettingsText::parse(value)) {
        value = "next";
    }
    settings->set("countdown/target", value);
    const std::optional<SettingsText> again = SettingsText::parse(settings->text());
    fuzz::check(again.has_value(), "what is written is read again", text);
    fuzz::check(again->value("countdown/target") == value, "the value set is read back", text);
    return 0;
}
