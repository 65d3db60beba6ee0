#pragma once

#include <string>

namespace vantor {

// The signs copies and doorway directories start with, so that they sort
// ahead of the site's own files. An empty sign stands for its default.
struct StartSigns {
    std::string copy1;
    std::string copy2;
    std::string copy3;
    std::string doorway;
    bool useStartSigns = true;

    // From the option sonz, then the expert settings specialcharacters,
    // copiesstartsign1..3 and doorwaysstartsign.
    static StartSigns fromSettings(int sonz);
    // The set sonz chooses, without the expert settings: what the To Do's
    // tell the user to look for.
    static StartSigns forSonz(int sonz);

    // The sign a name gets: the default for an empty one, nothing at all
    // when signs are switched off.
    std::string copySign(int file) const; // file 1..3
    std::string doorwaySign() const;

    // The signs the To Do's and the report name; they follow sonz alone.
    static const char *listedSigns(int sonz);
};

} // namespace vantor
