#pragma once
#include <string>

namespace velorra {

// Seconds as mm:ss, minutes and seconds truncated, each at least two digits ("-01:-15" for
// -75). Throws for a value beyond 64 bits.
std::string SegToMin(double seconds);

}  // namespace velorra
