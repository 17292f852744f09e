// Single-byte code pages of RTF documents: the character of each byte.
#pragma once

#include <array>
#include <bitset>
#include <map>

namespace kmp {

// The characters of one single-byte code page, read through iconv.
struct CodePageTable {
    std::array<char32_t, 256> character{};  // an undefined byte keeps its own value
    std::bitset<256> defined;
};

// The table of `codePage` (e.g. 1250). A code page that iconv does not know,
// or one that is not single-byte, gives the table of Windows-1252.
CodePageTable MakeCodePageTable(int codePage);

// The code page of an RTF font's \fcharset, or 0 when the charset names no
// single-byte code page (the document's code page applies then).
int CodePageOfCharset(int charset);

// The tables that one reader has needed so far, each built once.
class CodePageTables {
public:
    const CodePageTable& Get(int codePage);

private:
    std::map<int, CodePageTable> tables_;
};

}  // namespace kmp
