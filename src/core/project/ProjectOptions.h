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

    // The field of a code by its name, or nullptr.
    int *find(std::string_view name);
};

ProjectOptions &projectOptions();

} // namespace vantor
