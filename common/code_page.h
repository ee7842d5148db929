#pragma once

#include <optional>

// Windows-1250, the single-byte code page of the results files, character by character. The
// standard library only: the saving helper links nothing else.
namespace cyfrolia::cp1250 {

// What an undefined byte (0x81, 0x83, 0x88, 0x90, 0x98) decodes to.
inline constexpr char16_t kUndefined = u'\uFFFD';

// The character a byte stands for; kUndefined for the five bytes the code page leaves out.
char16_t decode(unsigned char byte);

// The byte for a character, or nothing when the code page has no place for it.
std::optional<unsigned char> encode(char16_t character);

inline bool canEncode(char16_t character) {
    return encode(character).has_value();
}

} // namespace cyfrolia::cp1250
