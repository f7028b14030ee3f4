// ISO-8859-1, the 8-bit text of ID3v1 fields, to and from the control's UTF-8 values.
#pragma once

#include <string>
#include <string_view>

namespace vextag {

// Length of the well-formed UTF-8 sequence that starts `s` (not empty), with its code point;
// 0 when the sequence is malformed, overlong, a surrogate or past U+10FFFF.
std::size_t utf8SequenceLength(std::string_view s, char32_t& codePoint);

// Replaces `out` with `latin1` as UTF-8 (reusing its storage). Every byte maps to one character.
void latin1ToUtf8(std::string_view latin1, std::string& out);

// `utf8` as ISO-8859-1: a character above U+00FF, and each byte of a malformed sequence, become '?'.
std::string utf8ToLatin1(std::string_view utf8);

} // namespace vextag
