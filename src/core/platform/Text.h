#pragma once

#include <string>
#include <string_view>

namespace vantor {

// The engine keeps every text as cp1252 bytes, the encoding of the files it
// reads and writes. Our sources are UTF-8, and Linux file names are UTF-8 too,
// so these two functions are the only crossing between the two worlds.
//
// The conversion is lossless for every byte: the five bytes cp1252 leaves
// undefined map to the C1 controls of the same value and back, and bytes that
// are not valid UTF-8 are taken as Latin-1 on the way in.
std::string toCp1252(std::string_view utf8);
std::string toUtf8(std::string_view cp1252);
// False when a UTF-8 text holds a character that cp1252 has no byte for
// (toCp1252 would turn it into '?').
bool fitsCp1252(std::string_view utf8);

// The pieces of those conversions, for texts whose encoding is decided
// elsewhere (the pages of a site). decodeUtf8 reads one sequence at text[i]
// and returns its length, 0 when it is not valid UTF-8; cp1252ByteFor gives
// -1 for a character cp1252 lacks.
std::size_t decodeUtf8(std::string_view text, std::size_t i, char32_t &cp);
void appendUtf8(std::string &out, char32_t cp);
int cp1252ByteFor(char32_t cp);
char32_t codePointOf(unsigned char cp1252);

// German literals of the program: written in UTF-8 in the source, handed to
// the engine as cp1252.
inline std::string de(std::string_view utf8) { return toCp1252(utf8); }

// Lower-case for ASCII and the cp1252 letters with accents.
std::string lowerCp1252(std::string_view text);
// Upper-case for the same letters; ß stays as it is, cp1252 has no capital
// for it.
std::string upperCp1252(std::string_view text);

// Names in settings, profiles and file patterns compare like Windows does:
// ASCII letters without regard to case, everything else exactly.
inline char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
bool equalsIgnoreAsciiCase(std::string_view a, std::string_view b);

} // namespace vantor
