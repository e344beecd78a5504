#include "rules/settings_text.h"

#include "display/echo_text.h"
#include "rules/whole_text.h"

#include <cmath>

namespace orvanta {

namespace {

// Qt's settings put keys with no section of their own here.
constexpr std::string_view GENERAL = "General";

std::pair<std::string, std::string> splitKey(std::string_view key) {
    const std::size_t slash = key.find('/');
    if (slash == std::string_view::npos) {
        return {std::string(GENERAL), std::string(key)};
    }
    return {std::string(key.substr(0, slash)), std::string(key.substr(slash + 1))};
}

// A value as Qt's settings write it: between double quotes, with backslash escapes, where it has
// a comma, a quote or space at its ends; as it stands otherwise.
std::string unquoted(std::string_view text) {
    text = trimmed(text);
    if (text.size() < 2 || text.front() != '"' || text.back() != '"') {
        return std::string(text);
    }
    std::string value;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        if (text[i] == '\\' && i + 2 < text.size()) {
            ++i;
            value += text[i] == 'n'   ? '\n'
                     : text[i] == 'r' ? '\r'
                     : text[i] == 't' ? '\t'
                                      : text[i];
        } else {
            value += text[i];
        }
    }
    return value;
}

std::string quoted(std::string_view value) {
    const bool plain = !value.empty() && value == trimmed(value) &&
                       value.find_first_of(",;#\"\\=\n\r\t") == std::string_view::npos &&
                       value.front() != '@';
    if (plain) {
        return std::string(value);
    }
    std::string text = "\"";
    for (const char c : value) {
        if (c == '"' || c == '\\') {
            text += '\\';
            text += c;
        } else if (c == '\n') {
            text += "\\n";
        } else if (c == '\r') {
            text += "\\r";
        } else if (c == '\t') {
            text += "\\t";
        } else {
            text += c;
        }
    }
    return text + '"';
}

} // namespace

std::optional<SettingsText> SettingsText::parse(std::string_view text) {
    if (text.find('\0') != std::string_view::npos || !isUtf8(text)) {
        return std::nullopt;
    }
    SettingsText settings;
    std::string section(GENERAL);
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        std::string_view ending;
        if (end == std::string_view::npos) {
            text = {};
        } else {
            text.remove_prefix(end + 1);
            ending = "\n";
            if (!line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
                ending = "\r\n";
            }
            if (first) {
                settings.end_ = ending;
                first = false;
            }
        }
        const std::string_view bare = trimmed(line);
        Line kept{std::string(line), std::string(ending), section, {}};
        if (bare.size() >= 2 && bare.front() == '[' && bare.back() == ']') {
            section = std::string(trimmed(bare.substr(1, bare.size() - 2)));
            kept.section = section;
        } else if (!bare.empty() && bare.front() != ';' && bare.front() != '#') {
            if (const std::size_t equals = bare.find('='); equals != std::string_view::npos) {
                kept.key = std::string(trimmed(bare.substr(0, equals)));
            }
        }
        settings.lines_.push_back(std::move(kept));
    }
    return settings;
}

std::optional<std::string> SettingsText::value(std::string_view key) const {
    const auto [section, name] = splitKey(key);
    std::optional<std::string> found; // the last one holds, as in Qt's reader
    for (const Line& line : lines_) {
        if (!name.empty() && line.key == name && line.section == section) {
            found = unquoted(line.text.substr(line.text.find('=') + 1));
        }
    }
    return found;
}

void SettingsText::set(std::string_view key, std::string_view value) {
    const auto [section, name] = splitKey(key);
    const std::string line = name + '=' + quoted(value);
    std::optional<std::size_t> last; // the section's last line that is not blank
    for (std::size_t i = lines_.size(); i-- > 0;) {
        if (lines_[i].key == name && lines_[i].section == section) {
            lines_[i].text = line; // its line end stays
            return;
        }
        if (!last && lines_[i].section == section && !trimmed(lines_[i].text).empty()) {
            last = i;
        }
    }
    if (last) {
        add(*last + 1, Line{line, end_, section, name});
        return;
    }
    if (!lines_.empty() && !trimmed(lines_.back().text).empty()) {
        add(lines_.size(), Line{{}, end_, lines_.back().section, {}});
    }
    add(lines_.size(), Line{'[' + section + ']', end_, section, {}});
    add(lines_.size(), Line{line, end_, section, name});
}

void SettingsText::add(std::size_t at, Line line) {
    // Only the last line can lack an end, and one after it needs it. A line whose own bytes end in
    // CR takes CRLF: an LF alone would make that CR its line end, and the line another one.
    if (at > 0 && lines_[at - 1].end.empty()) {
        lines_[at - 1].end =
            !lines_[at - 1].text.empty() && lines_[at - 1].text.back() == '\r' ? "\r\n" : end_;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

std::string SettingsText::text() const {
    std::string text;
    for (const Line& line : lines_) {
        text += line.text;
        text += line.end;
    }
    return text;
}

std::optional<bool> settingFlag(std::string_view text) {
    if (text == "true" || text == "false") {
        return text == "true";
    }
    return std::nullopt;
}

std::optional<double> settingNumber(std::string_view text, double low, double high) {
    const std::optional<double> value = wholeNumber<double>(text);
    if (!value || *value < low || *value > high) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::pair<double, int>> settingReminderRecord(std::string_view text, int points) {
    const std::size_t slash = text.find('/');
    const std::size_t dot = text.find('.');
    // Six decimals, as the record is written.
    if (slash == std::string_view::npos || dot == std::string_view::npos || slash != dot + 7) {
        return std::nullopt;
    }
    const std::optional<double> approach = settingNumber(text.substr(0, slash), 0.0, 1e7);
    const std::optional<double> point = settingNumber(text.substr(slash + 1), 0, points - 1);
    if (!approach || !point || *point != std::floor(*point) ||
        text.substr(slash + 1).find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    return std::pair{*approach, static_cast<int>(*point)};
}

} // namespace orvanta
