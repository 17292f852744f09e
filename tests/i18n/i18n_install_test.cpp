// `cmake --install` into a temporary prefix: the programs, the catalogues,
// the menu entry with its icon, the *.kmp file type and the manual pages,
// and the installed programs finding their own catalogues.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "kmp_version.h"

namespace {

namespace fs = std::filesystem;
using kmp::test::ChildResult;
using kmp::test::LocaleEnvironment;
using kmp::test::RunChild;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class InstallTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string pattern = (fs::temp_directory_path() / "kmp-install-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        prefix_ = pattern;
        install_ = RunChild({KMP_CMAKE_COMMAND, "--install", KMP_BINARY_DIR, "--prefix", prefix_},
                            LocaleEnvironment({"LANG=C"}));
    }
    static void TearDownTestSuite() { fs::remove_all(prefix_); }

    static ChildResult RunInstalled(const std::string& program, std::vector<std::string> args,
                                    const std::vector<std::string>& locale) {
        args.insert(args.begin(), (prefix_ / "bin" / program).string());
        return RunChild(args, LocaleEnvironment(locale));
    }

    static inline fs::path prefix_;
    static inline ChildResult install_;
};

TEST_F(InstallTest, InstallSucceeds) {
    EXPECT_EQ(install_.exitCode, 0) << install_.out << install_.err;
}

TEST_F(InstallTest, ProducesTheFiles) {
    std::vector<std::string> files = {
        "bin/kmpc",
        "bin/kmp-studio",
        "bin/kmpc-port",
        "share/locale/sk/LC_MESSAGES/kmp.mo",
        "share/locale/en/LC_MESSAGES/kmp.mo",
        "share/applications/kmp-studio.desktop",
        "share/mime/packages/kmp.xml",
        "share/icons/hicolor/scalable/apps/kmp-studio.svg",
        "share/icons/hicolor/scalable/mimetypes/application-x-kmp-program.svg",
        "share/man/man1/kmpc.1",
        "share/man/man1/kmp-studio.1",
        "share/man/man1/kmpc-port.1",
        "share/doc/kmp/jazyk.md",
        "share/kmp/web/kmp.html",
        "share/kmp/web/site/index.html",
        "share/kmp/web/site/app.js",
        "share/kmp/web/site/sw.js",
    };
    for (const char* size : {"16", "24", "32", "48", "64", "128", "256"}) {
        const std::string folder = std::string("share/icons/hicolor/") + size + "x" + size;
        files.push_back(folder + "/apps/kmp-studio.png");
        files.push_back(folder + "/mimetypes/application-x-kmp-program.png");
    }
    for (const auto& file : files) {
        EXPECT_TRUE(fs::is_regular_file(prefix_ / file)) << file;
    }
    for (const char* program : {"bin/kmpc", "bin/kmpc-port", "bin/kmp-studio"}) {
        const auto perms = fs::status(prefix_ / program).permissions();
        EXPECT_NE(perms & fs::perms::owner_exec, fs::perms::none) << program;
    }
}

TEST_F(InstallTest, CataloguesAreTheBuiltOnes) {
    for (const char* lang : {"sk", "en"}) {
        const std::string mo = std::string("/") + lang + "/LC_MESSAGES/kmp.mo";
        EXPECT_EQ(ReadFile(prefix_ / ("share/locale" + mo)),
                  ReadFile(std::string(KMP_BINARY_DIR "/locale") + mo))
            << lang;
    }
}

TEST_F(InstallTest, DesktopFileValidates) {
    const fs::path desktop = prefix_ / "share/applications/kmp-studio.desktop";
    const auto result =
        RunChild({KMP_DESKTOP_FILE_VALIDATE, desktop.string()}, LocaleEnvironment({"LANG=C"}));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out + result.err, "");
    const std::string text = ReadFile(desktop);
    EXPECT_NE(text.find("\nExec=kmp-studio %f\n"), std::string::npos);
    EXPECT_NE(text.find("\nMimeType=application/x-kmp-program;\n"), std::string::npos);
    EXPECT_NE(text.find("\nIcon=kmp-studio\n"), std::string::npos);
}

// The install brought the prefix's MIME database up to date: *.kmp names
// the program type, and the menu entry is listed as its handler.
TEST_F(InstallTest, FileTypeIsKnown) {
    const std::string globs = ReadFile(prefix_ / "share/mime/globs2");
    EXPECT_NE(globs.find(":application/x-kmp-program:*.kmp\n"), std::string::npos) << globs;
    const std::string handlers = ReadFile(prefix_ / "share/applications/mimeinfo.cache");
    EXPECT_NE(handlers.find("application/x-kmp-program=kmp-studio.desktop;"), std::string::npos)
        << handlers;
}

TEST_F(InstallTest, ManPagesFormatWithoutWarnings) {
    for (const char* page : {"kmpc.1", "kmp-studio.1", "kmpc-port.1"}) {
        const fs::path path = prefix_ / "share/man/man1" / page;
        const auto result =
            RunChild({KMP_GROFF, "-t", "-man", "-Tutf8", "-ww", "-z", path.string()},
                     LocaleEnvironment({"LANG=C"}));
        EXPECT_EQ(result.exitCode, 0) << page;
        EXPECT_EQ(result.err, "") << page;
        const std::string text = ReadFile(path);
        EXPECT_EQ(text.find('@'), text.find("@example")) << page << ": unconfigured placeholder";
    }
}

// Every option that a program's --help names is described in its manual page.
class ManPageOptionsTest : public InstallTest, public testing::WithParamInterface<const char*> {};

TEST_P(ManPageOptionsTest, NamesEveryOptionOfHelp) {
    const std::string program = GetParam();
    const auto help = RunInstalled(program, {"--help"}, {"LANG=C", "QT_QPA_PLATFORM=offscreen"});
    ASSERT_EQ(help.exitCode, 0) << help.err;
    const std::string page = ReadFile(prefix_ / "share/man/man1" / (program + ".1"));
    const std::regex option(R"((^|\s)(--?[A-Za-z][A-Za-z-]*))");
    std::set<std::string> options;
    for (std::sregex_iterator it(help.out.begin(), help.out.end(), option), end; it != end; ++it) {
        options.insert((*it)[2]);
    }
    EXPECT_GE(options.size(), 4u) << help.out;
    for (const auto& name : options) {
        const std::string roff = std::regex_replace(name, std::regex("-"), R"(\-)");
        EXPECT_NE(page.find(roff), std::string::npos) << program << ": " << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Programs, ManPageOptionsTest, testing::Values("kmpc", "kmp-studio"),
                         [](const testing::TestParamInfo<const char*>& p) {
                             return std::regex_replace(p.param, std::regex("-"), "");
                         });

TEST_F(InstallTest, InstalledProgramsRun) {
    const auto kmpc = RunInstalled("kmpc", {"--version"}, {"LANG=C"});
    EXPECT_EQ(kmpc.exitCode, 0);
    EXPECT_EQ(kmpc.out, "kmpc (kmp) " KMP_VERSION "\n");
    const auto studio = RunInstalled("kmp-studio", {"--version"}, {"LANG=C"});
    EXPECT_EQ(studio.exitCode, 0);
    EXPECT_EQ(studio.out, "kmp-studio " KMP_VERSION "\n");
}

// The installed kmpc hands a port over to the installed kmpc-port, which
// reads the serial layer's texts from the prefix's catalogues.
struct UploadCase {
    const char* name;
    std::vector<std::string> locale;
    std::string message;
};

class InstalledCataloguesTest : public InstallTest,
                                public testing::WithParamInterface<UploadCase> {};

const std::string kMissingPort = "/dev/kmp-no-such-port";

std::string LastLine(std::string text) {
    while (!text.empty() && text.back() == '\n') text.pop_back();
    const auto start = text.rfind('\n');
    return start == std::string::npos ? text : text.substr(start + 1);
}

TEST_P(InstalledCataloguesTest, UploadToMissingPort) {
    const auto result =
        RunInstalled("kmpc", {"--upload", kMissingPort, KMP_SOURCE_DIR "/examples/priklad.txt"},
                     GetParam().locale);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(LastLine(result.err), "kmpc: " + kMissingPort + ": " + GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, InstalledCataloguesTest,
    testing::Values(UploadCase{"SlovakDesktop",
                               {"LANG=sk_SK.UTF-8", "LOCPATH=" KMP_TEST_LOCPATH},
                               "Nemôžem otvoriť COM port (chybový kód systému: 2)"},
                    UploadCase{"SlovakLanguage",
                               {"LC_ALL=C.UTF-8", "LANGUAGE=sk"},
                               "Nemôžem otvoriť COM port (chybový kód systému: 2)"},
                    UploadCase{
                        "PlainC", {"LANG=C"}, "Unable to open com port (win error code: 2)"}),
    [](const testing::TestParamInfo<UploadCase>& p) { return p.param.name; });

// A copy of the install elsewhere reads the catalogues beside itself.
TEST_F(InstallTest, MovedInstallFindsItsCatalogues) {
    const fs::path moved = prefix_.string() + "-moved";
    fs::copy(prefix_, moved, fs::copy_options::recursive);
    const auto result = RunChild({(moved / "bin/kmpc").string(), "--upload", kMissingPort,
                                  KMP_SOURCE_DIR "/examples/priklad.txt"},
                                 LocaleEnvironment({"LC_ALL=C.UTF-8", "LANGUAGE=sk"}));
    fs::remove_all(moved);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(LastLine(result.err),
              "kmpc: " + kMissingPort + ": Nemôžem otvoriť COM port (chybový kód systému: 2)");
}

}  // namespace
