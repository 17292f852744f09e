#include "catalogue_dir.h"

#include <system_error>

#ifndef KMP_LOCALEDIR
#define KMP_LOCALEDIR "/usr/local/share/locale"
#endif
#ifndef KMP_LOCALEDIR_FROM_BINDIR
#define KMP_LOCALEDIR_FROM_BINDIR "../share/locale"
#endif

namespace kmp::i18n {

namespace fs = std::filesystem;

namespace {

bool IsDirectory(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

bool IsFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

// The catalogues of the build tree that holds `dir`, or an empty path.
fs::path BuildTreeCatalogues(fs::path dir) {
    while (!dir.empty()) {
        if (IsFile(dir / "CMakeCache.txt")) {
            return IsDirectory(dir / "locale") ? dir / "locale" : fs::path();
        }
        if (dir == dir.parent_path()) break;
        dir = dir.parent_path();
    }
    return {};
}

}  // namespace

fs::path FindCatalogueDir(const fs::path& exe, const fs::path& installRelative,
                          const fs::path& fallback) {
    const fs::path exeDir = exe.parent_path();
    if (exeDir.empty()) return fallback;
    if (fs::path built = BuildTreeCatalogues(exeDir); !built.empty()) return built;
    const fs::path installed = (exeDir / installRelative).lexically_normal();
    return IsDirectory(installed) ? installed : fallback;
}

fs::path CatalogueDir() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return KMP_LOCALEDIR;
    return FindCatalogueDir(exe, KMP_LOCALEDIR_FROM_BINDIR, KMP_LOCALEDIR);
}

}  // namespace kmp::i18n
