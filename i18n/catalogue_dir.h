// Where the message catalogues of a program lie.
#pragma once

#include <filesystem>

namespace kmp::i18n {

// The catalogue folder for the program at `exe`:
// - run from a build tree (a folder above `exe` holds CMakeCache.txt) that
//   has a `locale/` folder: that folder;
// - else `exe`'s folder joined with `installRelative` (for example
//   "../share/locale"), when that folder exists, so a moved install still
//   finds its own catalogues;
// - else `fallback`.
std::filesystem::path FindCatalogueDir(const std::filesystem::path& exe,
                                       const std::filesystem::path& installRelative,
                                       const std::filesystem::path& fallback);

// FindCatalogueDir for the running program (/proc/self/exe) with the
// install layout this build was configured for.
std::filesystem::path CatalogueDir();

}  // namespace kmp::i18n
