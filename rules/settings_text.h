#pragma once

// The settings file's text, read and changed a key at a time so that everything else in it (the
// user's comments, keys of other versions, blank lines) comes back as it was. The file is an INI
// file as Qt's settings write it: "[section]" lines, "key=value" lines, ';' or '#' comments; a
// key "countdown/target" is "target" in section "countdown". And the kept values, each read as
// strictly as the same value typed in.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvanta {

class SettingsText {
  public:
    // Nothing for a text that is not a settings file: a NUL byte or bytes that are not UTF-8.
    static std::optional<SettingsText> parse(std::string_view text);

    // The value of "section/key", unquoted; nothing where the key is absent.
    std::optional<std::string> value(std::string_view key) const;
    // Replaces the key's value in its line, or adds the key at the end of its section (made at the
    // end of the text where there is none). Every other line keeps its bytes, its line end with
    // them; a line added ends as the text's first line does.
    void set(std::string_view key, std::string_view value);
    std::string text() const;

  private:
    struct Line {
        std::string text;    // without its line end
        std::string end;     // "\n", "\r\n", or none for a last line without one
        std::string section; // the section the line stands in
        std::string key;     // empty for anything but a key line
    };
    void add(std::size_t at, Line line);

    std::vector<Line> lines_;
    std::string end_ = "\n"; // the text's own line end, for the lines added
};

// The values as kept; each nothing where the text is not a value of its kind.
std::optional<bool> settingFlag(std::string_view text); // "true" or "false"
// A finite decimal number from `low` to `high`.
std::optional<double> settingNumber(std::string_view text, double low, double high);
// The latest reminder shown: the approach's UT Julian date with six decimals and the point,
// "2461456.508950/1", the point from 0 to `points` - 1. Whether the date is an approach's is the
// caller's to find.
std::optional<std::pair<double, int>> settingReminderRecord(std::string_view text, int points);

} // namespace orvanta
