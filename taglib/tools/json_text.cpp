#include "json_text.h"

#include "../src/latin1.h"

namespace vextag::tool {

namespace {

constexpr char Hex[] = "0123456789abcdef";

void appendEscape(std::string& out, unsigned code) {
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out.push_back(Hex[(code >> shift) & 0xF]);
}

} // namespace

void appendJsonString(std::string& out, std::string_view text) {
    out.push_back('"');
    while (!text.empty()) {
        const auto byte = static_cast<unsigned char>(text[0]);
        char32_t codePoint = 0;
        const std::size_t length = utf8SequenceLength(text, codePoint);
        if (length == 0) {
            appendEscape(out, 0xDC00 | byte);
            text.remove_prefix(1);
            continue;
        }
        switch (byte) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default:
            if (byte < 0x20)
                appendEscape(out, byte);
            else
                out.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
    out.push_back('"');
}

} // namespace vextag::tool
