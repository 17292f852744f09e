// A program carried in a link: the fragment "p=" + base64url of the raw
// deflate of the text in UTF-8, then "&c=" + prescaler.period.delay. The
// fragment never reaches a server; the page and kmpc read the same way.
#pragma once

#include "compiler.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kmp {

// The longest program text a link may hold once inflated.
inline constexpr std::size_t kMaxLinkedTextBytes = std::size_t{64} << 10;

struct LinkedProgram {
    std::string text;  // as the editor holds it (UTF-8, LF line ends)
    TimingSettings timing;
};

struct LinkReading {
    std::optional<LinkedProgram> program;
    std::string message;  // why not, as a log line, when there is no program
};

// The fragment (without "#") that carries `text` and `timing`.
std::string ProgramLinkFragment(std::string_view text, const TimingSettings& timing);

// Whether `link` (a whole address, "#..." or the fragment alone) carries a
// program at all, readable or not.
bool IsProgramLink(std::string_view link);

// The program of `link`, or the line that says why it cannot be read.
LinkReading ReadProgramLink(std::string_view link);

}  // namespace kmp
