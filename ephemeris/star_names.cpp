#include "ephemeris/star_names.h"

#include <algorithm>
#include <iterator>

namespace orvanta {

namespace {

// Stars at least this bright go by their names alone.
constexpr double FIRST_MAGNITUDE = 1.5;

struct Pair {
    std::string_view key, value;
};

constexpr Pair GREEK[] = {{"Alp", "α"}, {"Bet", "β"}, {"Gam", "γ"}, {"Del", "δ"}, {"Eps", "ε"},
                          {"Zet", "ζ"}, {"Eta", "η"}, {"The", "θ"}, {"Iot", "ι"}, {"Kap", "κ"},
                          {"Lam", "λ"}, {"Mu", "μ"},  {"Nu", "ν"},  {"Xi", "ξ"},  {"Omi", "ο"},
                          {"Pi", "π"},  {"Rho", "ρ"}, {"Sig", "σ"}, {"Tau", "τ"}, {"Ups", "υ"},
                          {"Phi", "φ"}, {"Chi", "χ"}, {"Psi", "ψ"}, {"Ome", "ω"}};

constexpr std::string_view SUPERSCRIPT[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};

// The genitives as the IAU gives them with the constellations' names and abbreviations.
constexpr Pair GENITIVE[] = {{"And", "Andromedae"},
                             {"Ant", "Antliae"},
                             {"Aps", "Apodis"},
                             {"Aqr", "Aquarii"},
                             {"Aql", "Aquilae"},
                             {"Ara", "Arae"},
                             {"Ari", "Arietis"},
                             {"Aur", "Aurigae"},
                             {"Boo", "Boötis"},
                             {"Cae", "Caeli"},
                             {"Cam", "Camelopardalis"},
                             {"Cnc", "Cancri"},
                             {"CVn", "Canum Venaticorum"},
                             {"CMa", "Canis Majoris"},
                             {"CMi", "Canis Minoris"},
                             {"Cap", "Capricorni"},
                             {"Car", "Carinae"},
                             {"Cas", "Cassiopeiae"},
                             {"Cen", "Centauri"},
                             {"Cep", "Cephei"},
                             {"Cet", "Ceti"},
                             {"Cha", "Chamaeleontis"},
                             {"Cir", "Circini"},
                             {"Col", "Columbae"},
                             {"Com", "Comae Berenices"},
                             {"CrA", "Coronae Australis"},
                             {"CrB", "Coronae Borealis"},
                             {"Crv", "Corvi"},
                             {"Crt", "Crateris"},
                             {"Cru", "Crucis"},
                             {"Cyg", "Cygni"},
                             {"Del", "Delphini"},
                             {"Dor", "Doradus"},
                             {"Dra", "Draconis"},
                             {"Equ", "Equulei"},
                             {"Eri", "Eridani"},
                             {"For", "Fornacis"},
                             {"Gem", "Geminorum"},
                             {"Gru", "Gruis"},
                             {"Her", "Herculis"},
                             {"Hor", "Horologii"},
                             {"Hya", "Hydrae"},
                             {"Hyi", "Hydri"},
                             {"Ind", "Indi"},
                             {"Lac", "Lacertae"},
                             {"Leo", "Leonis"},
                             {"LMi", "Leonis Minoris"},
                             {"Lep", "Leporis"},
                             {"Lib", "Librae"},
                             {"Lup", "Lupi"},
                             {"Lyn", "Lyncis"},
                             {"Lyr", "Lyrae"},
                             {"Men", "Mensae"},
                             {"Mic", "Microscopii"},
                             {"Mon", "Monocerotis"},
                             {"Mus", "Muscae"},
                             {"Nor", "Normae"},
                             {"Oct", "Octantis"},
                             {"Oph", "Ophiuchi"},
                             {"Ori", "Orionis"},
                             {"Pav", "Pavonis"},
                             {"Peg", "Pegasi"},
                             {"Per", "Persei"},
                             {"Phe", "Phoenicis"},
                             {"Pic", "Pictoris"},
                             {"Psc", "Piscium"},
                             {"PsA", "Piscis Austrini"},
                             {"Pup", "Puppis"},
                             {"Pyx", "Pyxidis"},
                             {"Ret", "Reticuli"},
                             {"Sge", "Sagittae"},
                             {"Sgr", "Sagittarii"},
                             {"Sco", "Scorpii"},
                             {"Scl", "Sculptoris"},
                             {"Sct", "Scuti"},
                             {"Ser", "Serpentis"},
                             {"Sex", "Sextantis"},
                             {"Tau", "Tauri"},
                             {"Tel", "Telescopii"},
                             {"Tri", "Trianguli"},
                             {"TrA", "Trianguli Australis"},
                             {"Tuc", "Tucanae"},
                             {"UMa", "Ursae Majoris"},
                             {"UMi", "Ursae Minoris"},
                             {"Vel", "Velorum"},
                             {"Vir", "Virginis"},
                             {"Vol", "Volantis"},
                             {"Vul", "Vulpeculae"}};

template <std::size_t N>
std::string_view valueOf(const Pair (&table)[N], std::string_view key) {
    const auto found = std::find_if(std::begin(table), std::end(table),
                                    [&](const Pair& p) { return p.key == key; });
    return found != std::end(table) ? found->value : std::string_view();
}

} // namespace

std::string greekLetter(std::string_view catalogue) {
    std::string_view digits = catalogue;
    while (!digits.empty() && digits.front() > '9') {
        digits.remove_prefix(1);
    }
    const std::string_view letter =
        valueOf(GREEK, catalogue.substr(0, catalogue.size() - digits.size()));
    if (letter.empty()) {
        return {};
    }
    std::string text(letter);
    for (const char digit : digits) {
        if (digit < '0' || digit > '9') {
            return {};
        }
        text += SUPERSCRIPT[digit - '0'];
    }
    return text;
}

std::string_view genitiveOf(std::string_view abbreviation) {
    return valueOf(GENITIVE, abbreviation);
}

std::string designationOf(const Star& star, bool genitive) {
    const std::string_view genitiveName = genitiveOf(star.constellation);
    const std::string constellation =
        genitive && !genitiveName.empty() ? std::string(genitiveName) : star.constellation;
    if (const std::string letter = greekLetter(star.bayer);
        !letter.empty() && !constellation.empty()) {
        return letter + ' ' + constellation;
    }
    if (!star.flamsteed.empty() && !constellation.empty()) {
        return star.flamsteed + ' ' + constellation;
    }
    return "HR " + std::to_string(star.number);
}

std::string shortName(const Star& star) {
    return star.name.empty() ? designationOf(star) : star.name;
}

std::string starInWords(const Star& star) {
    if (star.name.empty()) {
        return designationOf(star, true);
    }
    return star.magnitude < FIRST_MAGNITUDE ? star.name
                                            : designationOf(star, true) + " (" + star.name + ')';
}

} // namespace orvanta
