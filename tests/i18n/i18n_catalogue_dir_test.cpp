// Where a program finds its catalogues: the build tree's locale folder when
// it runs uninstalled, else the share/locale of its own install prefix.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "catalogue_dir.h"

namespace {

namespace fs = std::filesystem;
using kmp::i18n::FindCatalogueDir;

struct Layout {
    const char* name;
    std::vector<std::string> files;    // created empty, relative to the root
    std::vector<std::string> folders;  // created, relative to the root
    std::string exe;                   // the program's path, relative to the root
    std::string expected;              // relative to the root; "FALLBACK" for the fallback
};

class CatalogueDirTest : public testing::TestWithParam<Layout> {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("kmp-i18n-" + std::string(GetParam().name) + "-" + std::to_string(getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_);
        for (const auto& f : GetParam().folders) fs::create_directories(root_ / f);
        for (const auto& f : GetParam().files) {
            fs::create_directories((root_ / f).parent_path());
            std::ofstream(root_ / f).put('\n');
        }
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path root_;
};

const fs::path kFallback = "/fallback/share/locale";

TEST_P(CatalogueDirTest, FindsTheProgramsCatalogues) {
    const fs::path found = FindCatalogueDir(root_ / GetParam().exe, "../share/locale", kFallback);
    const std::string& expected = GetParam().expected;
    EXPECT_EQ(found, expected == "FALLBACK" ? kFallback : root_ / expected);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, CatalogueDirTest,
    testing::Values(
        Layout{"BuildTree",
               {"build/CMakeCache.txt"},
               {"build/locale", "build/tools"},
               "build/tools/kmpc",
               "build/locale"},
        Layout{"BuildTreeDeep",
               {"build/CMakeCache.txt"},
               {"build/locale", "build/tests/i18n"},
               "build/tests/i18n/probe",
               "build/locale"},
        Layout{"BuildTreeWithoutCatalogues",
               {"build/CMakeCache.txt"},
               {"build/tools"},
               "build/tools/kmpc",
               "FALLBACK"},
        Layout{
            "Installed", {}, {"usr/bin", "usr/share/locale"}, "usr/bin/kmpc", "usr/share/locale"},
        Layout{"RelocatedInstall",
               {},
               {"opt/kmp-copy/bin", "opt/kmp-copy/share/locale"},
               "opt/kmp-copy/bin/kmp-studio",
               "opt/kmp-copy/share/locale"},
        Layout{"InstalledWithoutShare", {}, {"usr/bin"}, "usr/bin/kmpc", "FALLBACK"},
        Layout{"OuterCacheWithoutLocale",
               {"CMakeCache.txt"},
               {"stage/bin", "stage/share/locale"},
               "stage/bin/kmpc",
               "stage/share/locale"}),
    [](const testing::TestParamInfo<Layout>& p) { return p.param.name; });

TEST(CatalogueDir, ProgramWithoutFolderGetsFallback) {
    EXPECT_EQ(FindCatalogueDir("kmpc", "../share/locale", kFallback), kFallback);
}

}  // namespace
