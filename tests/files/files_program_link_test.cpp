// Program links: the deflate both ways against zlib, base64url, and the
// reasons a link cannot be read.
#include "base64url.h"
#include "program_link.h"
#include "raw_deflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>

namespace {

// zlib's raw inflate (window bits -15), the reader every browser shares.
std::string ZlibInflate(const std::string& in) {
    z_stream stream{};
    EXPECT_EQ(inflateInit2(&stream, -15), Z_OK);
    std::string out(1 << 20, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    stream.avail_in = static_cast<uInt>(in.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(inflate(&stream, Z_FINISH), Z_STREAM_END);
    EXPECT_EQ(stream.avail_in, 0U);
    out.resize(stream.total_out);
    inflateEnd(&stream);
    return out;
}

std::string ZlibDeflate(const std::string& in, int level, int strategy) {
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, level, Z_DEFLATED, -15, 8, strategy), Z_OK);
    std::string out(deflateBound(&stream, static_cast<uLong>(in.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    stream.avail_in = static_cast<uInt>(in.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

std::string Samples(int index) {
    const std::string program =
        "PROGRAM motor\nZAČIATOK\n  VYSTUP(1,0,1) CAS 10\n  OTOC VLAVO 200 KROKOV\nKONIEC\n";
    std::string repeated;
    while (repeated.size() < 60000) repeated += program;
    switch (index) {
    case 0: return "";
    case 1: return "a";
    case 2: return program;
    case 3: return repeated;
    case 4: return std::string(65536, 'x');  // matches of 258 at distance 1
    case 5: return RandomBytes(40000, 7);    // literals of every value
    default: return RandomBytes(3000, 11) + repeated.substr(0, 5000) + RandomBytes(3000, 11);
    }
}

TEST(RawDeflate, ZlibReadsWhatItWrites) {
    for (int i = 0; i < 7; ++i) {
        const std::string data = Samples(i);
        const std::string packed = kmp::RawDeflate(data);
        EXPECT_EQ(ZlibInflate(packed), data) << "sample " << i;
        const kmp::Inflated back = kmp::RawInflate(packed, data.size());
        EXPECT_EQ(back.status, kmp::InflateStatus::Ok) << "sample " << i;
        EXPECT_EQ(back.data, data) << "sample " << i;
    }
    // Repetitive text must shrink well: a link of it must fit a QR code.
    EXPECT_LT(kmp::RawDeflate(Samples(3)).size(), 2000U);
}

TEST(RawInflate, ReadsWhatZlibWrites) {
    struct Mode {
        int level;
        int strategy;
    };
    // Stored blocks, fixed codes, dynamic codes, and run-length only.
    const Mode modes[] = {{0, Z_DEFAULT_STRATEGY}, {1, Z_FIXED}, {6, Z_DEFAULT_STRATEGY},
                          {9, Z_DEFAULT_STRATEGY}, {9, Z_RLE},   {9, Z_HUFFMAN_ONLY}};
    for (int i = 0; i < 7; ++i) {
        for (const Mode& mode : modes) {
            const std::string data = Samples(i);
            const kmp::Inflated back =
                kmp::RawInflate(ZlibDeflate(data, mode.level, mode.strategy), 1 << 20);
            EXPECT_EQ(back.status, kmp::InflateStatus::Ok)
                << "sample " << i << " level " << mode.level;
            EXPECT_EQ(back.data, data) << "sample " << i << " level " << mode.level;
        }
    }
}

TEST(RawInflate, StopsAtTheLimitAndAtFaults) {
    const std::string packed = ZlibDeflate(std::string(65537, 'x'), 9, Z_DEFAULT_STRATEGY);
    EXPECT_EQ(kmp::RawInflate(packed, 65537).status, kmp::InflateStatus::Ok);
    EXPECT_EQ(kmp::RawInflate(packed, 65536).status, kmp::InflateStatus::TooLong);
    const std::string text = ZlibDeflate(Samples(2), 9, Z_DEFAULT_STRATEGY);
    struct Case {
        const char* what;
        std::string stream;
    };
    const Case cases[] = {
        {"empty", ""},
        {"cut short", text.substr(0, text.size() / 2)},
        {"a byte after the end", text + "x"},
        {"block type 3", "\x07"},
        {"stored length and its complement differ", std::string("\x01\x02\x00\x00\x00", 5)},
        {"distance before the start", std::string("\x03\x02\x00", 3)},
        {"random bytes", RandomBytes(64, 3)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kmp::RawInflate(c.stream, 1 << 20).status, kmp::InflateStatus::Corrupt) << c.what;
}

TEST(Base64Url, BothWays) {
    EXPECT_EQ(kmp::Base64UrlEncode(""), "");
    EXPECT_EQ(kmp::Base64UrlEncode("f"), "Zg");
    EXPECT_EQ(kmp::Base64UrlEncode("fo"), "Zm8");
    EXPECT_EQ(kmp::Base64UrlEncode("foo"), "Zm9v");
    EXPECT_EQ(kmp::Base64UrlEncode("\xfb\xff\xbf"), "-_-_");
    const std::string bytes = RandomBytes(1000, 5);
    EXPECT_EQ(kmp::Base64UrlDecode(kmp::Base64UrlEncode(bytes)), bytes);
    for (const char* bad : {"Zg==", "Z", "Zm9v+", "Zm9/", "Zm 9", "Zm9v\n"})
        EXPECT_FALSE(kmp::Base64UrlDecode(bad).has_value()) << bad;
}

TEST(ProgramLink, CarriesTextAndValues) {
    const std::string text = "PROGRAM žltý\nVYSTUP(1,0,1) CAS 10\n";
    const kmp::TimingSettings timing{253, 65535, 7};
    const std::string fragment = kmp::ProgramLinkFragment(text, timing);
    ASSERT_EQ(fragment.substr(0, 2), "p=");
    const std::size_t values = fragment.find("&c=");
    EXPECT_EQ(fragment.substr(values), "&c=7.253.65535");
    EXPECT_EQ(ZlibInflate(*kmp::Base64UrlDecode(fragment.substr(2, values - 2))), text);

    for (const std::string& link :
         {fragment, "#" + fragment, "https://kmp.example/sk/?x=1#" + fragment,
          "https://kmp.example/#x=1&" + fragment + "&y=2"}) {
        const kmp::LinkReading reading = kmp::ReadProgramLink(link);
        ASSERT_TRUE(reading.program.has_value()) << link << ": " << reading.message;
        EXPECT_EQ(reading.program->text, text);
        EXPECT_EQ(reading.program->timing.period, 253);
        EXPECT_EQ(reading.program->timing.delay, 65535);
        EXPECT_EQ(reading.program->timing.prescaler, 7);
    }
    // Line ends become the editor's; a link without values keeps the start values.
    const auto crlf = kmp::ReadProgramLink("#p=" + kmp::Base64UrlEncode(kmp::RawDeflate("A\r\nB")));
    ASSERT_TRUE(crlf.program.has_value());
    EXPECT_EQ(crlf.program->text, "A\nB");
    EXPECT_EQ(crlf.program->timing.period, 200);
    EXPECT_EQ(crlf.program->timing.delay, 1);
    EXPECT_EQ(crlf.program->timing.prescaler, 3);
}

TEST(ProgramLink, SaysWhyALinkCannotBeRead) {
    const auto packed = [](const std::string& data) {
        return kmp::Base64UrlEncode(kmp::RawDeflate(data));
    };
    const std::string good = packed("PROGRAM a\n");
    const std::string prefix = "Odkaz na program sa nedá prečítať: ";
    struct Case {
        std::string link;
        std::string reason;
    };
    const Case cases[] = {
        {"https://kmp.example/", "chýba v ňom program (p=)."},
        {"#c=3.200.1", "chýba v ňom program (p=)."},
        {"#p=ab*d&c=3.200.1", "program v ňom nie je zapísaný v base64url."},
        {"#p=" + good + "==", "program v ňom nie je zapísaný v base64url."},
        {"#p=" + kmp::Base64UrlEncode("not deflate at all"),
         "program v ňom nie je platne skomprimovaný (deflate)."},
        {"#p=" + good.substr(0, good.size() - 2),
         "program v ňom nie je platne skomprimovaný (deflate)."},
        {"#p=" + packed("\xC5\xBE\xFF"), "text programu nie je v UTF-8."},
        {"#p=" + packed(std::string(65537, 'a')), "program má po rozbalení viac ako 64 KiB."},
        {"#p=" + good + "&c=8.200.1",
         "hodnoty c= musia byť delička.perióda.oneskorenie v rozsahoch 0..7, 1..253 a 1..65535."},
        {"#p=" + good + "&c=3.0.1",
         "hodnoty c= musia byť delička.perióda.oneskorenie v rozsahoch 0..7, 1..253 a 1..65535."},
        {"#p=" + good + "&c=3.200.65536",
         "hodnoty c= musia byť delička.perióda.oneskorenie v rozsahoch 0..7, 1..253 a 1..65535."},
        {"#p=" + good + "&c=3.200",
         "hodnoty c= musia byť delička.perióda.oneskorenie v rozsahoch 0..7, 1..253 a 1..65535."},
        {"#p=" + good + "&c=3.2x0.1",
         "hodnoty c= musia byť delička.perióda.oneskorenie v rozsahoch 0..7, 1..253 a 1..65535."},
        {"#p=" + good + "&c=-3.200.1",
         "hodnoty c= musia byť delička.perióda.oneskorenie v rozsahoch 0..7, 1..253 a 1..65535."},
    };
    for (const Case& c : cases) {
        const kmp::LinkReading reading = kmp::ReadProgramLink(c.link);
        EXPECT_FALSE(reading.program.has_value()) << c.link;
        EXPECT_EQ(reading.message, prefix + c.reason) << c.link;
    }
    // Exactly 64 KiB still opens.
    EXPECT_TRUE(kmp::ReadProgramLink("#p=" + packed(std::string(65536, 'a'))).program.has_value());
}

}  // namespace
