// gettext's catalogs as the towns read them: the bytes as a catalog, looked up by the ids they
// would hold (and by each NUL-separated part of them), and the text as a locale and a LANGUAGE.
// Nothing is read beyond the bytes; a translation found lies within them.

#include "towns/message_catalog.h"

#include "fuzz/fuzz_input.h"

using namespace orvanta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of its own, so that AddressSanitizer sees a read one byte past the end.
    const std::string bytes(fuzz::textOf(data, size));
    const MessageCatalog catalog(bytes);
    const std::string_view within(bytes);
    const auto inside = [&within](std::string_view found) {
        return found.data() >= within.data() &&
               found.data() + found.size() <= within.data() + within.size();
    };
    for (const std::string& id : fuzz::argumentsOf(data, size)) {
        if (const std::optional<std::string_view> found = catalog.find(id)) {
            fuzz::check(inside(*found) && !found->empty(), "a translation lies in the catalog");
        }
    }
    for (const char* id : {"", "2867714", "DE", "DE.02"}) {
        if (const std::optional<std::string_view> found = catalog.find(id)) {
            fuzz::check(inside(*found), "a translation lies in the catalog");
        }
    }
    const std::string text(bytes.substr(0, bytes.find('\0')));
    for (const std::string& name : messageCatalogs(text.c_str(), text.c_str(), nullptr, nullptr)) {
        fuzz::check(!name.empty() && name.find(':') == std::string::npos &&
                        name.find('/') == std::string::npos,
                    "a catalog's name is one language, no path", name);
    }
    for (const std::string& name : catalogsOfLocale(text)) {
        fuzz::check(!name.empty() && name != "C" && name != "POSIX" &&
                        name.find('/') == std::string::npos,
                    "a catalog is a language", name);
    }
    return 0;
}
