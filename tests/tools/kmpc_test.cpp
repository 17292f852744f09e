// kmpc as a process: listing on standard output, log on standard error,
// exit status, the image file, standard input and the text encodings.
#include "example_program.h"
#include "program_file.h"
#include "run_process.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace kmp::test {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kExampleListing = {
    "0: 200 1 0 3 ", "4: 0 120",   "6: 66 200",   "8: 50 200",  "10: Moj cyklus",
    "10: 4 10",      "12: 2 20",   "14: 138 100", "16: 16 18",  "18: Podmienka",
    "18: 1 200",     "20: 12 120", "22: 255 255", "24: 255 255"};
const std::string kStart = "Začínam prekladať...";
const std::string kSuccess = "Preklad prebehol úspešne!";
const std::string kSendNow =
    "Môžete odoslať program do mikrokontroléra PIC cez seriové COM rozhranie!";

class KmpcRun : public TempFolderTest {
protected:
    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static ProcessResult Kmpc(std::vector<std::string> args, const std::string& input = {}) {
        args.insert(args.begin(), KMPC_PATH);
        return RunProcess(args, input, {"LC_ALL=C"});
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// The log of a successful run: start, a time line, the two success lines.
void ExpectSuccessLog(const std::string& err) {
    const std::vector<std::string> lines = SplitLines(err);
    ASSERT_EQ(lines.size(), 4u) << err;
    EXPECT_EQ(lines[0], kStart);
    EXPECT_TRUE(std::regex_match(lines[1], std::regex("[0-9]{2}:[0-9]{2}:[0-9]{2}"))) << lines[1];
    EXPECT_EQ(lines[2], kSuccess);
    EXPECT_EQ(lines[3], kSendNow);
}

std::string ExampleImage() {
    std::string image(128, '\xFF');
    const unsigned char start[] = {200, 1,  0,   3,   0,  120, 66, 200, 50, 200, 4,   10,
                                   2,   20, 138, 100, 16, 18,  1,  200, 12, 120, 255, 255};
    std::copy(std::begin(start), std::end(start), image.begin());
    return image;
}

TEST_F(KmpcRun, ExampleProgramFile) {
    const ProcessResult r = Kmpc({std::string(KMP_SOURCE_DIR) + "/examples/priklad.txt"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(SplitLines(r.out), kExampleListing);
    EXPECT_EQ(r.out.back(), '\n');
    ExpectSuccessLog(r.err);
}

TEST_F(KmpcRun, ImageWrittenAfterSuccess) {
    const std::string source = Write("p.txt", kExampleProgram);
    const std::string image = (dir_ / "p.bin").string();
    const ProcessResult r = Kmpc({"-o", image, source});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(ReadFile(image), ExampleImage());
    EXPECT_EQ(Files(), (std::vector<std::string>{"p.bin", "p.txt"})) << "no temporary file is left";
}

// The frame is what an upload sends: 128, 254, the image up to its first 255.
TEST_F(KmpcRun, FrameWrittenBesideTheImage) {
    const std::string source = Write("p.txt", kExampleProgram);
    const std::string frame = (dir_ / "p.frame").string();
    EXPECT_EQ(Kmpc({"--frame", frame, "-o", (dir_ / "p.bin").string(), source}).status, 0);
    EXPECT_EQ(ReadFile(frame), "\x80\xFE" + ExampleImage().substr(0, 23));
    const std::string failing = Write("f.txt", "PROGRAM x:\nVYSTUP(0,0,0)CAS 1\nKONIEC\n");
    EXPECT_EQ(Kmpc({"--frame", (dir_ / "f.frame").string(), failing}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "f.frame"));
}

TEST_F(KmpcRun, ImageReplacesAnOlderFile) {
    const std::string source = Write("p.txt", kExampleProgram);
    const std::string image = Write("p.bin", "old contents");
    EXPECT_EQ(Kmpc({"-o" + image, source}).status, 0);
    EXPECT_EQ(ReadFile(image), ExampleImage());
}

TEST_F(KmpcRun, NoImageAfterFailure) {
    const std::string source = Write("p.txt", "PROGRAM x:\nVYSTUP(0,0,0)CAS 1\nKONIEC\n");
    const std::string kept = Write("old.bin", "old");
    EXPECT_EQ(Kmpc({"-o", kept, source}).status, 1);
    EXPECT_EQ(ReadFile(kept), "old");
    const ProcessResult r = Kmpc({"-o", (dir_ / "new.bin").string(), source});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(Files(), (std::vector<std::string>{"old.bin", "p.txt"}));
    EXPECT_EQ(SplitLines(r.out), (std::vector<std::string>{"0: 200 1 0 3 ", "4: 0 1 "}));
    const std::vector<std::string> log = SplitLines(r.err);
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[2], "2. riadok, pozícia:13  ! Chyba č. 1 : očakávala sa medzera");
    EXPECT_EQ(log[3], " Nedokážem preložiť zdrojový kód! Opravte chyby a skúste znovu! ");
}

TEST_F(KmpcRun, UnwritableImage) {
    const std::string source = Write("p.txt", kExampleProgram);
    const std::string image = (dir_ / "missing" / "p.bin").string();
    const ProcessResult r = Kmpc({"-o", image, source});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("kmpc: " + image + ": No such file or directory\n"), std::string::npos)
        << r.err;
}

TEST_F(KmpcRun, StandardInput) {
    const ProcessResult r = Kmpc({"-"}, "PROGRAM x:\r\nKONIEC");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "0: 200 1 0 3 \n4: 255 255\n");
    ExpectSuccessLog(r.err);
}

TEST_F(KmpcRun, EmptyInputFails) {
    const ProcessResult r = Kmpc({"-"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "0: 200 1 0 3 \n");
    const std::vector<std::string> log = SplitLines(r.err);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[2], "! chyba: nie je tu žiadny program na preloženie");
}

TEST_F(KmpcRun, TimingOptions) {
    const ProcessResult r =
        Kmpc({"--period", "17", "--delay=300", "--prescaler", "0", "-"}, "PROGRAM x:\nKONIEC");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "0: 17 44 1 0 \n4: 255 255\n");
    EXPECT_EQ(Kmpc({"--delay", "65535", "-"}, "PROGRAM x:\nKONIEC").out,
              "0: 200 253 253 3 \n4: 255 255\n");
}

// Every line-end convention reaches the compiler as CR LF.
TEST_F(KmpcRun, LineEndsAreNormalised) {
    for (const std::string eol : {"\r\n", "\n", "\r"}) {
        const std::string text = "PROGRAM x:" + eol + "RESET" + eol + "KONIEC" + eol;
        const ProcessResult r = Kmpc({"-"}, text);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "0: 200 1 0 3 \n4: 255 255\n6: 255 255\n");
    }
}

// A letter with a diacritic is one Windows-1250 byte in either file encoding,
// so the error behind it has the same position.
TEST_F(KmpcRun, Utf8AndWindows1250ReadAlike) {
    const std::string utf8 = "PROGRAM x: / koment\xC3\xA1r\nRESET \xC4\x8D X\nKONIEC\n";
    const std::string cp1250 = "PROGRAM x: / koment\xE1r\nRESET \xE8 X\nKONIEC\n";
    const ProcessResult a = Kmpc({"-"}, utf8);
    const ProcessResult b = Kmpc({"-"}, cp1250);
    EXPECT_EQ(a.status, 1);
    EXPECT_EQ(a.out, b.out);
    const std::vector<std::string> log = SplitLines(a.err);
    ASSERT_EQ(log.size(), 4u) << a.err;
    EXPECT_EQ(log[2], "2. riadok, pozícia:6  ! Chyba č. 1 : očakával sa nový riadok");
    EXPECT_EQ(
        log[3],
        "2. riadok, pozícia:6  ! Chyba č. 2 : očakával sa príkaz KONIEC alebo iné platné príkazy");
    EXPECT_EQ(SplitLines(b.err)[2], log[2]);
    EXPECT_EQ(SplitLines(b.err)[3], log[3]);
}

// A character that Windows-1250 cannot hold is an invalid character too.
TEST_F(KmpcRun, CharacterOutsideWindows1250) {
    const ProcessResult r = Kmpc({"-"}, "PROGRAM x:\n\xD0\xB6KONIEC\n");
    EXPECT_EQ(r.status, 1);
    const std::vector<std::string> log = SplitLines(r.err);
    ASSERT_EQ(log.size(), 3u) << r.err;
    EXPECT_EQ(
        log[2],
        "2. riadok, pozícia:0  ! Chyba č. 1 : očakával sa príkaz KONIEC alebo iné platné príkazy");
}

TEST_F(KmpcRun, ProgramFileWrittenByTheWindow) {
    const std::string source = Write("p.kmp", ProgramFileBytesFromText(kExampleProgram));
    const ProcessResult r = Kmpc({source});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(SplitLines(r.out), kExampleListing);
}

TEST_F(KmpcRun, RangeErrorIsTheLastLogLine) {
    std::string text = "PROGRAM x:\n";
    for (int i = 0; i < 63; ++i) text += "RESET\n";
    text += "KONIEC\n";
    const std::string image = (dir_ / "p.bin").string();
    const ProcessResult r = Kmpc({"-o", image, "-"}, text);
    EXPECT_EQ(r.status, 1);
    const std::vector<std::string> log = SplitLines(r.err);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[2], "Range check error.");
    const std::vector<std::string> listing = SplitLines(r.out);
    ASSERT_EQ(listing.size(), 63u);
    EXPECT_EQ(listing.back(), "126: 255 255 ");
    EXPECT_FALSE(fs::exists(image));
}

TEST_F(KmpcRun, UnreadableFiles) {
    const std::string missing = (dir_ / "nothing.txt").string();
    ProcessResult r = Kmpc({"-o", (dir_ / "p.bin").string(), missing});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "kmpc: " + missing + ": No such file or directory\n");
    r = Kmpc({dir_.string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "kmpc: " + dir_.string() + ": Is a directory\n");
    EXPECT_TRUE(Files().empty());
}

}  // namespace
}  // namespace kmp::test
