#pragma once
#include <string>

namespace velorra {

// Where the search starts when no start directory was saved: the user's music folder (the XDG
// music directory, else ~/Music) when it exists, else the home folder.
std::string defaultStartDirectory();

}  // namespace velorra
