// Conversions between the editor's text and the bytes of files and of the compiler.
#pragma once

#include <string>
#include <string_view>

namespace kmp {

// True when `bytes` is well-formed UTF-8 (no overlongs, no surrogates).
bool IsValidUtf8(std::string_view bytes);

// Windows-1250 bytes to UTF-8. The five bytes that Windows-1250 leaves
// undefined map to the code points of the same value.
std::string Cp1250ToUtf8(std::string_view bytes);

// The Windows-1250 byte of `cp`, or -1 when Windows-1250 cannot hold it.
int Cp1250ByteOf(char32_t cp);

// UTF-8 to Windows-1250 bytes; a character that Windows-1250 cannot hold
// becomes `replacement`.
std::string Utf8ToCp1250(std::string_view utf8, char replacement = '?');

// True when every character of `utf8` has a Windows-1250 byte.
bool FitsCp1250(std::string_view utf8);

// CR LF, lone LF and lone CR all become CR LF.
std::string NormalizeLineEndsCrLf(std::string_view text);

// CR LF, lone LF and lone CR all become LF.
std::string NormalizeLineEndsLf(std::string_view text);

// The text of a plain-text file: valid UTF-8 (a leading byte-order mark
// dropped) is taken as UTF-8, anything else as Windows-1250. Result is UTF-8.
std::string DecodePlainText(std::string_view bytes);

// What the compiler reads for an editor text: line ends as CR LF, then
// Windows-1250 bytes.
std::string EditorTextToSource(std::string_view utf8);

}  // namespace kmp
