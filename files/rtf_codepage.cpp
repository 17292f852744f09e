#include "rtf_codepage.h"

#include <iconv.h>

#include <map>
#include <mutex>
#include <string>

namespace kmp {
namespace {

bool IsSingleByteCodePage(int codePage) {
    switch (codePage) {
    case 437:
    case 850:
    case 852:
    case 866:
    case 874:
    case 1250:
    case 1251:
    case 1252:
    case 1253:
    case 1254:
    case 1255:
    case 1256:
    case 1257:
    case 1258:
    case 10000: return true;
    default: return false;
    }
}

std::string IconvName(int codePage) {
    if (codePage == 10000) return "MACINTOSH";
    return "CP" + std::to_string(codePage);
}

// Converts the byte `b` to one UTF-32 character; false when it is undefined.
bool ConvertByte(iconv_t cd, unsigned char b, char32_t& cp) {
    char in[1] = {static_cast<char>(b)};
    char32_t out[2] = {};
    char* src = in;
    char* dst = reinterpret_cast<char*>(out);
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &src, &inLeft, &dst, &outLeft) == static_cast<std::size_t>(-1)) return false;
    if (outLeft != sizeof out - sizeof(char32_t)) return false;
    cp = out[0];
    return true;
}

}  // namespace

int SupportedCodePage(int codePage) {
    return IsSingleByteCodePage(codePage) ? codePage : 1252;
}

CodePageTable MakeCodePageTable(int codePage) {
    codePage = SupportedCodePage(codePage);
    iconv_t cd = iconv_open("UTF-32LE", IconvName(codePage).c_str());
    if (cd == reinterpret_cast<iconv_t>(-1) && codePage != 1252) return MakeCodePageTable(1252);
    CodePageTable table;
    for (unsigned b = 0; b < 256; ++b) {
        char32_t cp = b;
        const bool ok = cd != reinterpret_cast<iconv_t>(-1) &&
                        ConvertByte(cd, static_cast<unsigned char>(b), cp);
        table.character[b] = ok ? cp : b;
        table.defined[b] = ok || b < 0x80;
    }
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
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
