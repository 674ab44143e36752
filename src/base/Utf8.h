// UTF-8 as a sender that writes it puts it in its files: the byte-order mark, strict
// validation, and the conversions to and from UTF-16 that the server's wide text needs.
// No Windows types, so that the rules are tested natively and fuzzed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

inline bool StartsWithUtf8Bom(std::string_view bytes) { return bytes.substr(0, 3) == kUtf8Bom; }

// The length of the well-formed sequence that text begins with, 0 when it begins with none:
// strict, so an overlong form, a surrogate's code point, one past U+10FFFF and a sequence cut
// short are all refused.
size_t Utf8SequenceLength(std::string_view text) noexcept;

// The 1-based number of the first line that holds bytes that are not UTF-8 (lines end at
// CR LF, CR or LF; the content ends at its first NUL), 0 when there is none.
size_t FirstNonUtf8Line(std::string_view content) noexcept;

// The error a file's bad line gives: "Linia <n>: textul nu este UTF-8".
std::string NotUtf8Text(size_t line);

// The text of a request file as the service takes it: without a leading mark, and UTF-8
// when the setting or the mark says so. Under the setting ANSI, only a mark makes it UTF-8.
struct RequestText {
    std::string_view text;
    bool utf8 = false;
    size_t badLine = 0;  // with utf8: the first line that is not UTF-8; 0 when none
};
RequestText ReadRequestText(std::string_view content, bool utf8Files) noexcept;

// Decodes UTF-8 into UTF-16 units at out, which has room for text.size() units; returns how
// many it wrote. A byte that begins no well-formed sequence gives U+FFFD: the service checks
// what it hands over beforehand, so this happens only to text shown, never to text sent.
template <class Unit>
size_t Utf8ToUtf16(std::string_view text, Unit* out) noexcept {
    static_assert(sizeof(Unit) == 2);
    const auto* at = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = at + text.size();
    Unit* const start = out;
    while (at != end) {
        if (*at < 0x80) {  // most of a package's bytes
            *out++ = Unit(*at++);
            continue;
        }
        const size_t length =
            Utf8SequenceLength(std::string_view(reinterpret_cast<const char*>(at), size_t(end - at)));
        if (length == 0) {
            *out++ = Unit(0xFFFD);
            ++at;
            continue;
        }
        uint32_t code = length == 2 ? (at[0] & 0x1Fu) : length == 3 ? (at[0] & 0x0Fu) : (at[0] & 0x07u);
        for (size_t i = 1; i < length; ++i) code = (code << 6) | (at[i] & 0x3Fu);
        at += length;
        if (code < 0x10000) {
            *out++ = Unit(code);
        } else {
            code -= 0x10000;
            *out++ = Unit(0xD800 + (code >> 10));
            *out++ = Unit(0xDC00 + (code & 0x3FF));
        }
    }
    return size_t(out - start);
}

// Encodes UTF-16 units as UTF-8 at out, which has room for 3 bytes a unit; returns how many
// bytes it wrote. A surrogate without its partner has no UTF-8 form and gives U+FFFD.
template <class Unit>
size_t Utf16ToUtf8(const Unit* units, size_t count, char* out) noexcept {
    static_assert(sizeof(Unit) == 2);
    char* const start = out;
    for (size_t i = 0; i < count; ++i) {
        uint32_t code = uint16_t(units[i]);
        if (code < 0x80) {
            *out++ = char(code);
            continue;
        }
        if (code >= 0xD800 && code < 0xE000) {
            const bool paired = code < 0xDC00 && i + 1 < count && uint16_t(units[i + 1]) >= 0xDC00 &&
                                uint16_t(units[i + 1]) < 0xE000;
            code = paired ? 0x10000 + ((code - 0xD800) << 10) + (uint16_t(units[++i]) - 0xDC00) : 0xFFFD;
        }
        if (code < 0x800) {
            *out++ = char(0xC0 | (code >> 6));
        } else if (code < 0x10000) {
            *out++ = char(0xE0 | (code >> 12));
            *out++ = char(0x80 | ((code >> 6) & 0x3F));
        } else {
            *out++ = char(0xF0 | (code >> 18));
            *out++ = char(0x80 | ((code >> 12) & 0x3F));
            *out++ = char(0x80 | ((code >> 6) & 0x3F));
        }
        *out++ = char(0x80 | (code & 0x3F));
    }
    return size_t(out - start);
}
