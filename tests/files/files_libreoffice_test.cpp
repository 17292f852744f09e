// A program file written by us, read back by a word processor that we did not
// write: its plain-text export must give the editor text exactly.
#include "example_program.h"
#include "file_fixtures.h"
#include "program_file.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace kmp {
namespace {

namespace fs = std::filesystem;

std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const fs::path candidate = fs::path(folders.substr(start, end - start)) / program;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
        start = end + 1;
    }
    return {};
}

// Runs soffice without a shell; true when it exits with 0.
bool RunConverter(const std::string& soffice, const fs::path& dir, const fs::path& input) {
    const std::string profile = "-env:UserInstallation=file://" + (dir / "profile").string();
    const std::string outdir = (dir / "out").string();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl(soffice.c_str(), soffice.c_str(), profile.c_str(), "--headless", "--convert-to",
                "txt:Text (encoded):UTF8", "--outdir", outdir.c_str(), input.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

TEST(WordProcessorReadsOurFile, PlainTextExportMatches) {
    const std::string soffice = FindOnPath("soffice");
    if (soffice.empty()) {
        GTEST_SKIP() << "soffice is not installed (Debian package libreoffice-writer-nogui); "
                        "the RTF written by us is not checked against a foreign reader";
    }
    std::string pattern = (fs::temp_directory_path() / "kmp-soffice-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const fs::path dir = pattern;
    const std::string text =
        std::string(kExampleProgram) +
        "\n// \xC3\xA1\xC3\xA4\xC4\x8D\xC4\x8F\xC3\xA9\xC3\xAD\xC4\xBA\xC4\xBE\xC5\x88\xC3\xB3"
        "\xC3\xB4\xC5\x95\xC5\xA1\xC5\xA5\xC3\xBA\xC3\xBD\xC5\xBE\xC3\x81\xC3\x84\xC4\x8C\xC4\x8E"
        "\xC3\x89\xC3\x8D\xC4\xB9\xC4\xBD\xC5\x87\xC3\x93\xC3\x94\xC5\x94\xC5\xA0\xC5\xA4\xC3\x9A"
        "\xC3\x9D\xC5\xBD\n\xE2\x82\xAC \xC5\x91 \xD0\xB6 \xF0\x9F\x98\x80\n\t{x} \\y\\\n";
    WriteProgramFile((dir / "program.rtf").string(), text);

    ASSERT_TRUE(RunConverter(soffice, dir, dir / "program.rtf"));
    std::string exported = ReadBytes((dir / "out" / "program.txt").string());
    fs::remove_all(dir);

    // The export starts with a byte-order mark and ends every paragraph with
    // a line end, the last one included.
    ASSERT_TRUE(exported.starts_with("\xEF\xBB\xBF"));
    exported.erase(0, 3);
    EXPECT_EQ(WithoutFinalLineEnd(exported), text);
}

}  // namespace
}  // namespace kmp
