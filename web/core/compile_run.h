// One compile run as the page shows it: the editor's text and the three
// timing values in, the two panes' lines and colours, the error places and
// the image out.
#pragma once

#include <compiler.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kmp::web {

struct PaneLines {
    std::vector<std::string> lines;
    std::uint32_t color = 0;
};

struct PageCompile {
    bool ok = false;
    PaneLines log;
    PaneLines listing;
    CompileResult result;
    // A program too long for the image: the general error display's text,
    // and the statement that no longer fits.
    std::string failure;
    ErrorPlace failedStatement;
};

// Compiles `editorText` (UTF-8, the editor's line ends) as the window's
// Button1 does; `timeText` stands in the log's time line.
PageCompile CompileEditorText(std::string_view editorText, const TimingSettings& timing,
                              std::string timeText);

}  // namespace kmp::web
