#pragma once

// The tz database's own tables, as text alone (no GLib): its zones and links as tzdata.zi writes
// them, the zones each country keeps with their principal city (zone.tab, zone1970.tab), and the
// countries' names (iso3166.tab). The system's copies are read in towns.h.

#include "ephemeris/sky.h"

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta {

// The names of the tz database and how they stand to one another: a zone ("Europe/Kyiv"), a link
// that names it too ("Europe/Kiev", "US/Eastern" for America/New_York), and the names the system
// lists for people to choose from (zone.tab's, the ones Qt lists).
class ZoneNames {
  public:
    // tzdata.zi's lines "Z NAME ..." (a zone) and "L TARGET LINK" (a link); every other line, and
    // a name that no zone of the tz database could have, is passed over.
    void readTzdata(std::string_view text);
    void addZone(std::string_view name);
    void addLink(std::string_view target, std::string_view link);
    void addListed(std::string_view name);

    // Whether the database has the name, as a zone or as a link.
    bool knows(std::string_view name) const;
    // The zone a name stands for, links followed (a link to a link too; a link that would close
    // a loop is not taken):
    // "US/Eastern" is "America/New_York"; a zone, or a name the database lacks, is itself.
    std::string targetOf(std::string_view name) const;
    // Every name of the zone a name stands for: the name itself, its zone, then the zone's other
    // links in alphabetical order, each once.
    std::vector<std::string> namesOf(std::string_view name) const;
    // The name of the same zone the system lists: the name itself where it is listed, else its
    // zone, else the first of the zone's other names that is; else its zone ("Europe/Kiev" is
    // "Europe/Kyiv" where zone.tab lists that, "Europe/Kiev" where an older one lists it).
    std::string listedName(std::string_view name) const;

    bool empty() const { return zones_.empty() && links_.empty(); }

  private:
    std::set<std::string, std::less<>> zones_;
    std::map<std::string, std::string, std::less<>> links_;         // link -> target
    std::multimap<std::string, std::string, std::less<>> linkedTo_; // target -> link
    std::set<std::string, std::less<>> listed_;
};

// A row of zone.tab or zone1970.tab: the zone of one or more countries (the first the most
// populous) and its principal city's place.
struct ZoneRow {
    std::vector<std::string> countries; // ISO 3166 codes: {"SG", "AQ", "MY"}
    Place place;                        // +0117+10351: 1°17′N 103°51′E
    std::string zone;                   // "Asia/Singapore"
    std::string comment;                // "peninsular Malaysia, Concordia"; may be empty
};
// The rows of a zone table, tab-separated; comments ('#') and rows not of that form are passed
// over.
std::vector<ZoneRow> readZoneTable(std::string_view text);

// iso3166.tab: "SG\tSingapore" a row, the country codes to their names in English.
std::map<std::string, std::string, std::less<>> readCountryTable(std::string_view text);

// The city a zone is named after: "McMurdo" for Antarctica/McMurdo, "Buenos Aires" for
// America/Argentina/Buenos_Aires; empty for a name of no city (UTC, Etc/GMT+5, EST5EDT).
std::string cityOfZone(std::string_view zone);

} // namespace orvanta
