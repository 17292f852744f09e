// Single-byte code pages of RTF documents: the character of each byte.
#pragma once

#include <array>
#include <bitset>

namespace kmp {

// The characters of one single-byte code page (built-in tables read once
// from glibc's iconv).
struct CodePageTable {
    std::array<char32_t, 256> character{};  // an undefined byte keeps its own value
    std::bitset<256> defined;
};

// The code page whose table stands for `codePage`: the code page itself when
// it is one of the single-byte code pages known here, otherwise 1252.
int SupportedCodePage(int codePage);

// The table of `codePage` (e.g. 1250). A code page that is not one of the
// built-in single-byte ones gives the table of Windows-1252.
CodePageTable MakeCodePageTable(int codePage);

// The table of `codePage`, built once per process for each supported code
// page, so that no document can make more tables than there are supported
// code pages. The reference stays valid for the life of the process.
const CodePageTable& SharedCodePageTable(int codePage);

// The code page of an RTF font's \fcharset, or 0 when the charset names no
// single-byte code page (the document's code page applies then).
int CodePageOfCharset(int charset);

// The tables that one reader uses, with the last one at hand.
class CodePageTables {
public:
    const CodePageTable& Get(int codePage);

private:
    int lastCodePage_ = 0;
    const CodePageTable* last_ = nullptr;
};

}  // namespace kmp
