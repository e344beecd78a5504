#pragma once

// gettext's message catalogs (.mo files) read as bytes, and the catalogs a user's messages come
// from, as gettext picks them: text alone, no GLib, no process state. The towns read the geonames
// catalogs through these (towns.h), never through the process's locale or environment.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta {

// A compiled catalog, read where it lies: the bytes stay the caller's while it is used. Bytes
// that are not a catalog make one that finds nothing.
class MessageCatalog {
  public:
    MessageCatalog() = default;
    explicit MessageCatalog(std::string_view bytes);
    bool valid() const { return count_ > 0; }
    // The translation of a message by its id; nothing where the catalog has none, or an empty one.
    std::optional<std::string_view> find(std::string_view id) const;

  private:
    std::uint32_t word(std::size_t at) const;
    // The entry of an id through the catalog's hash table, as gettext finds it; the count of
    // entries where the table does not have it, and nothing where the catalog has no table.
    std::optional<std::uint32_t> hashed(std::string_view id) const;
    // Entry `index`'s translation, its singular where it has plural forms; nothing where it is
    // empty or lies beyond the bytes.
    std::optional<std::string_view> translation(std::uint32_t index) const;
    // The string of entry `index` of the table at `table`; nothing where it lies beyond the bytes.
    std::optional<std::string_view> entry(std::uint32_t table, std::uint32_t index) const;
    std::string_view bytes_;
    bool swapped_ = false;
    std::uint32_t count_ = 0, ids_ = 0, translations_ = 0, hashSize_ = 0, hashes_ = 0;
};

// The catalogs gettext tries for a locale name, most particular first, without its codeset:
// "de_AT.UTF-8" is {"de_AT", "de"}, "sr_RS@latin" {"sr_RS@latin", "sr@latin", "sr_RS", "sr"};
// none for "C", "POSIX" or a name with a slash.
std::vector<std::string> catalogsOfLocale(std::string_view locale);

// The catalogs of a user's messages, from the environment gettext reads (each null where unset):
// the first of LC_ALL, LC_MESSAGES and LANG that is set names the locale; in the locale "C" or
// "POSIX" (or none) there are none; else each language LANGUAGE lists in turn (up to one that is
// "C"), or without LANGUAGE the locale's own.
std::vector<std::string> messageCatalogs(const char* language, const char* lcAll,
                                         const char* lcMessages, const char* lang);

} // namespace orvanta
