// UTF-8: the mark, strict validation and the error a bad line gives.
#include "base/Utf8.h"

size_t Utf8SequenceLength(std::string_view text) noexcept {
    if (text.empty()) return 0;
    const auto* b = reinterpret_cast<const unsigned char*>(text.data());
    if (b[0] < 0x80) return 1;
    // The second byte's range carries the rules: E0 and F0 refuse overlong forms, ED the
    // surrogates' code points, F4 what lies past U+10FFFF.
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (b[0] >= 0xC2 && b[0] <= 0xDF) {
        length = 2;
    } else if (b[0] >= 0xE0 && b[0] <= 0xEF) {
        length = 3;
        if (b[0] == 0xE0) low = 0xA0;
        if (b[0] == 0xED) high = 0x9F;
    } else if (b[0] >= 0xF0 && b[0] <= 0xF4) {
        length = 4;
        if (b[0] == 0xF0) low = 0x90;
        if (b[0] == 0xF4) high = 0x8F;
    } else {
        return 0;  // a continuation byte, C0, C1 (always overlong) or F5 and above
    }
    if (text.size() < length || b[1] < low || b[1] > high) return 0;
    for (size_t i = 2; i < length; ++i)
        if (b[i] < 0x80 || b[i] > 0xBF) return 0;
    return length;
}

size_t FirstNonUtf8Line(std::string_view content) noexcept {
    content = content.substr(0, content.find('\0'));
    size_t line = 1;
    for (size_t at = 0; at < content.size();) {
        const unsigned char c = static_cast<unsigned char>(content[at]);
        if (c < 0x80) {
            // CR LF is one line end: the LF after a CR begins no new line.
            if (c == '\n' || (c == '\r' && (at + 1 == content.size() || content[at + 1] != '\n'))) ++line;
            ++at;
            continue;
        }
        const size_t length = Utf8SequenceLength(content.substr(at));
        if (length == 0) return line;
        at += length;
    }
    return 0;
}

std::string NotUtf8Text(size_t line) { return "Linia " + std::to_string(line) + ": textul nu este UTF-8"; }

RequestText ReadRequestText(std::string_view content, bool utf8Files) noexcept {
    RequestText request{content, utf8Files};
    if (StartsWithUtf8Bom(content)) {
        request.text.remove_prefix(kUtf8Bom.size());
        request.utf8 = true;
    }
    if (request.utf8) request.badLine = FirstNonUtf8Line(request.text);
    return request;
}
