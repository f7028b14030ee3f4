// JSON string literals for the tool's output lines.
#pragma once

#include <string>
#include <string_view>

namespace vextag::tool {

// Appends `text` as a quoted JSON string. Well-formed UTF-8 is copied; control characters are
// escaped (NUL as \u0000); a byte that is not part of a well-formed sequence (a file name in
// another encoding) becomes \udcXX, the lone surrogate that Python's surrogateescape decodes
// back to the same byte.
void appendJsonString(std::string& out, std::string_view text);

} // namespace vextag::tool
