#include "towns/message_catalog.h"

#include <algorithm>
#include <cstring>

namespace orvanta {

namespace {

// The header of a catalog: its magic number, revision, count of strings, the offsets of the
// tables of ids and of translations, the size and offset of its hash table, each a 32-bit word
// in the order of the machine that wrote it.
constexpr std::uint32_t MAGIC = 0x950412de;
constexpr std::uint32_t MAGIC_SWAPPED = 0xde120495;
constexpr std::size_t HEADER_BYTES = 28;

bool isEnd(std::string_view locale) {
    return locale.empty() || locale == "C" || locale == "POSIX";
}

void addOnce(std::vector<std::string>& catalogs, std::string catalog) {
    if (std::find(catalogs.begin(), catalogs.end(), catalog) == catalogs.end()) {
        catalogs.push_back(std::move(catalog));
    }
}

} // namespace

MessageCatalog::MessageCatalog(std::string_view bytes) : bytes_(bytes) {
    if (bytes.size() < HEADER_BYTES) {
        return;
    }
    std::uint32_t magic = 0;
    std::memcpy(&magic, bytes.data(), sizeof magic);
    if (magic != MAGIC && magic != MAGIC_SWAPPED) {
        return;
    }
    swapped_ = magic == MAGIC_SWAPPED;
    // Revision 0 and 1 keep the tables as they were; a later major revision may not.
    if ((word(4) >> 16) > 1) {
        return;
    }
    const std::uint32_t count = word(8);
    ids_ = word(12);
    translations_ = word(16);
    const std::uint64_t tableBytes = std::uint64_t{count} * 8;
    if (ids_ + tableBytes > bytes.size() || translations_ + tableBytes > bytes.size()) {
        return;
    }
    count_ = count;
    // A hash table too small to step through (gettext's step is taken modulo its size - 2) is
    // left aside: the search through the sorted ids finds the same.
    const std::uint32_t hashSize = word(20), hashes = word(24);
    if (hashSize > 2 && hashes + std::uint64_t{hashSize} * 4 <= bytes.size()) {
        hashSize_ = hashSize;
        hashes_ = hashes;
    }
}

std::uint32_t MessageCatalog::word(std::size_t at) const {
    // Read as the machine keeps words: the catalog's own order where the magic number reads
    // right, swapped where it reads swapped.
    std::uint32_t value = 0;
    std::memcpy(&value, bytes_.data() + at, sizeof value);
    return swapped_ ? __builtin_bswap32(value) : value;
}

std::optional<std::string_view> MessageCatalog::entry(std::uint32_t table,
                                                      std::uint32_t index) const {
    const std::uint64_t length = word(table + std::size_t{index} * 8);
    const std::uint64_t offset = word(table + std::size_t{index} * 8 + 4);
    // The string and the NUL after it lie within the bytes.
    if (offset + length >= bytes_.size()) {
        return std::nullopt;
    }
    return bytes_.substr(offset, length);
}

std::optional<std::uint32_t> MessageCatalog::hashed(std::string_view id) const {
    if (hashSize_ == 0 || id.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    // gettext's hash of the id (hashpjw, in 32 bits), and its double hashing.
    std::uint32_t hash = 0;
    for (const char c : id) {
        hash = (hash << 4) + static_cast<unsigned char>(c);
        if (const std::uint32_t high = hash & 0xf0000000u; high != 0) {
            hash ^= high >> 24;
            hash ^= high;
        }
    }
    std::uint32_t at = hash % hashSize_;
    const std::uint32_t step = 1 + hash % (hashSize_ - 2);
    // Every slot at most once: a table with no empty slot ends too.
    for (std::uint32_t tries = 0; tries < hashSize_; ++tries) {
        const std::uint32_t slot = word(hashes_ + std::size_t{at} * 4);
        if (slot == 0) {
            return count_; // not in the catalog
        }
        if (slot <= count_ && entry(ids_, slot - 1) == id) {
            return slot - 1;
        }
        at = at >= hashSize_ - step ? at - (hashSize_ - step) : at + step;
    }
    return std::nullopt;
}

std::optional<std::string_view> MessageCatalog::translation(std::uint32_t index) const {
    const std::optional<std::string_view> translation = entry(translations_, index);
    // A message with plural forms keeps them after NULs: the first is the singular.
    const std::string_view singular =
        translation ? translation->substr(0, translation->find('\0')) : std::string_view();
    if (singular.empty()) {
        return std::nullopt;
    }
    return singular;
}

std::optional<std::string_view> MessageCatalog::find(std::string_view id) const {
    if (const std::optional<std::uint32_t> index = hashed(id)) {
        return *index < count_ ? translation(*index) : std::nullopt;
    }
    // The ids are sorted as bytes: a binary search, over entries that lie within the bytes.
    std::uint32_t from = 0, to = count_;
    while (from < to) {
        const std::uint32_t middle = from + (to - from) / 2;
        const std::optional<std::string_view> at = entry(ids_, middle);
        if (!at) {
            return std::nullopt;
        }
        if (*at == id) {
            return translation(middle);
        }
        if (*at < id) {
            from = middle + 1;
        } else {
            to = middle;
        }
    }
    return std::nullopt;
}

std::vector<std::string> catalogsOfLocale(std::string_view locale) {
    // A name with a slash would be a path, not a language: gettext passes it over too.
    if (locale.find('/') != std::string_view::npos) {
        return {};
    }
    std::string_view modifier;
    if (const std::size_t at = locale.find('@'); at != std::string_view::npos) {
        modifier = locale.substr(at);
        locale = locale.substr(0, at);
    }
    locale = locale.substr(0, locale.find('.'));
    const std::string_view language = locale.substr(0, locale.find('_'));
    std::vector<std::string> catalogs;
    if (isEnd(language)) {
        return catalogs;
    }
    if (!modifier.empty()) {
        addOnce(catalogs, std::string(locale) + std::string(modifier));
        addOnce(catalogs, std::string(language) + std::string(modifier));
    }
    addOnce(catalogs, std::string(locale));
    addOnce(catalogs, std::string(language));
    return catalogs;
}

std::vector<std::string> messageCatalogs(const char* language, const char* lcAll,
                                         const char* lcMessages, const char* lang) {
    std::string_view locale;
    for (const char* value : {lcAll, lcMessages, lang}) {
        if (value != nullptr && *value != '\0') {
            locale = value;
            break;
        }
    }
    std::vector<std::string> catalogs;
    if (isEnd(locale)) {
        return catalogs;
    }
    std::string_view languages = language != nullptr && *language != '\0' ? language : locale;
    while (true) {
        const std::size_t colon = std::min(languages.find(':'), languages.size());
        const std::string_view one = languages.substr(0, colon);
        if (one == "C" || one == "POSIX") {
            break;
        }
        for (std::string& catalog : catalogsOfLocale(one)) {
            addOnce(catalogs, std::move(catalog));
        }
        if (colon == languages.size()) {
            break;
        }
        languages.remove_prefix(colon + 1);
    }
    return catalogs;
}

} // namespace orvanta
