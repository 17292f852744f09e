#include "rtf_codepage.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <string>

namespace kmp {
namespace {

constexpr char32_t kUndefinedByte = 0xFFFFFFFF;

struct BuiltInTable {
    int codePage;
    std::array<char32_t, 256> character;
};

// The tables were read once from glibc's iconv, so that every build (also
// one without iconv, or with another iconv that reads some code pages
// otherwise) gives the same characters.
constexpr BuiltInTable kBuiltInTables[] = {
#include "codepage_tables.inc"
};

const BuiltInTable* FindBuiltIn(int codePage) {
    const auto found =
        std::find_if(std::begin(kBuiltInTables), std::end(kBuiltInTables),
                     [codePage](const BuiltInTable& t) { return t.codePage == codePage; });
    return found == std::end(kBuiltInTables) ? nullptr : found;
}

}  // namespace

int SupportedCodePage(int codePage) {
    return FindBuiltIn(codePage) ? codePage : 1252;
}

CodePageTable MakeCodePageTable(int codePage) {
    const BuiltInTable& builtIn = *FindBuiltIn(SupportedCodePage(codePage));
    CodePageTable table;
    for (unsigned b = 0; b < 256; ++b) {
        const char32_t cp = builtIn.character[b];
        const bool ok = cp != kUndefinedByte;
        table.character[b] = ok ? cp : b;
        table.defined[b] = ok || b < 0x80;
    }
    return table;
}

int CodePageOfCharset(int charset) {
    switch (charset) {
    case 0: return 1252;
    case 77: return 10000;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    default: return 0;
    }
}

const CodePageTable& SharedCodePageTable(int codePage) {
    static std::mutex mutex;
    static std::map<int, CodePageTable> tables;
    codePage = SupportedCodePage(codePage);
    const std::lock_guard lock(mutex);
    auto it = tables.find(codePage);
    if (it == tables.end()) it = tables.emplace(codePage, MakeCodePageTable(codePage)).first;
    return it->second;
}

const CodePageTable& CodePageTables::Get(int codePage) {
    codePage = SupportedCodePage(codePage);
    if (last_ == nullptr || codePage != lastCodePage_) {
        last_ = &SharedCodePageTable(codePage);
        lastCodePage_ = codePage;
    }
    return *last_;
}

}  // namespace kmp
