// Byte strings as the simulator passes them around, and their text form
// ("A5 5B 02 ...") used by the frame log and the control channel.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Upper-case hexadecimal pairs separated by single blanks.
std::string FormatHex(const Bytes& bytes);

// Hexadecimal pairs, blanks between and inside them ignored ("A55B 02" and
// "A5 5B 02" are the same). Nothing on an odd digit count or a non-hex
// character.
std::optional<Bytes> ParseHex(const std::string& text);
