// Where the program looks for its music and data tree. One rule, from the
// program's real file (every symbolic link resolved), tried in this order:
//   1. the directory holding it, cut back to the ".app" bundle around it:
//      the build tree's bundle, or a bundle copied anywhere;
//   2. share/kestrel beside that directory: an installation under a prefix P,
//      P/bin/kestrel with P/share/kestrel, wherever P is.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> DataPlaces(const std::string& programFile);

struct DataPlaceChoice {
    std::string place;               // the first place with a usable data tree; empty when none has one
    std::vector<std::string> lacks;  // when none has one: for each place, "PLACE: FILE missing"
};

DataPlaceChoice ChooseDataPlace(const std::vector<std::string>& places);
