#include "rtf_destinations.h"

#include <algorithm>
#include <array>

namespace kmp {
namespace {

// Sorted, for a binary search.
constexpr auto kSkipped = std::to_array<std::string_view>({
    "aftncn",
    "aftnsep",
    "aftnsepc",
    "annotation",
    "atnauthor",
    "atnid",
    "author",
    "bkmkend",
    "bkmkstart",
    "blipuid",
    "colorschememapping",
    "colortbl",
    "comment",
    "datastore",
    "doccomm",
    "docvar",
    "expandedcolortbl",
    "falt",
    "fchars",
    "filetbl",
    "fldinst",
    "fname",
    "footer",
    "footerf",
    "footerl",
    "footerr",
    "footnote",
    "ftncn",
    "ftnsep",
    "ftnsepc",
    "generator",
    "header",
    "headerf",
    "headerl",
    "headerr",
    "info",
    "keywords",
    "latentstyles",
    "lchars",
    "levelnumbers",
    "leveltext",
    "listoverridetable",
    "listtable",
    "listtext",
    "mmathPr",
    "nonshppict",
    "objdata",
    "object",
    "operator",
    "panose",
    "passwordhash",
    "pgdsctbl",
    "pgptbl",
    "pict",
    "pntext",
    "pntxta",
    "pntxtb",
    "protusertbl",
    "revtbl",
    "rsidtbl",
    "shpinst",
    "shptxt",
    "sn",
    "sp",
    "stylesheet",
    "subject",
    "sv",
    "tc",
    "template",
    "themedata",
    "title",
    "txe",
    "userprops",
    "xe",
    "xmlnstbl",
});
static_assert(std::is_sorted(kSkipped.begin(), kSkipped.end()));

}  // namespace

bool IsSkippedDestination(std::string_view controlWord) {
    return std::binary_search(kSkipped.begin(), kSkipped.end(), controlWord);
}

}  // namespace kmp
