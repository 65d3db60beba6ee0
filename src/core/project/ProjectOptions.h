#pragma once

#include <array>
#include <string_view>

namespace vantor {

// The optimisation options of a project. Most codes hold two switches: bit
// value 1 applies a technique to the homepage, bit value 2 to copies and
// doorway pages.
struct ProjectOptions {
    int titl = 3, auth = 0, expi = 0, repl = 0, desc = 3, keyw = 3, cset = 0, link = 3, robo = 3, copy = 3,
        isin = 0, gene = 0, revi = 3, base = 0, dubl = 0, vw96 = 0, z395 = 0, pics = 0, soif = 0, mecf = 0,
        vcop = 3, door = 1, komm = 3, nofr = 3, such = 3, altt = 3, vlin = 3, buch = 0, tite = 3, text = 0,
        rdfr = 3, tico = 0, deco = 0, sonz = 0;

    // Head elements of today's web, stored after the 34 codes: a project file
    // of the older form has none and reads them as off, and they are written
    // only once they are on or already in the file, so such a file saves
    // byte for byte as before. HP/ZK like the others.
    int cano = 0; // <link rel="canonical">
    int view = 0; // <meta name="viewport"> when the page has none
    int lang = 0; // lang="de" on <html> when the page has none
    int ogtg = 0; // Open Graph og:title, og:description, og:url

    // Not stored in the project file: set in the configuration dialog, lasts
    // until the program ends.
    int hiddenForm = 2;

    static bool forHomepage(int value) { return value % 2 != 0; }
    static bool forCopies(int value) { return value > 1; }

    struct Code {
        const char *name;
        int ProjectOptions::*field;
        int standard;
    };
    static constexpr int kCodeCount = 34;
    // The codes in the order in which they are read and written.
    static const std::array<Code, kCodeCount> &codes();

    static constexpr int kModernCodeCount = 4;
    // The codes after the 34, in the order in which they are written.
    static const std::array<Code, kModernCodeCount> &modernCodes();

    // The field of a code by its name (either table), or nullptr.
    int *find(std::string_view name);
};

ProjectOptions &projectOptions();

} // namespace vantor
