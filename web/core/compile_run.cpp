#include "compile_run.h"

#include <display_text.h>
#include <text_encoding.h>

namespace kmp::web {
namespace {

class LinesPane final : public Pane {
public:
    explicit LinesPane(PaneLines& lines) : lines_(lines) {}
    void Clear() override { lines_.lines.clear(); }
    void AppendLine(std::string_view line) override { lines_.lines.emplace_back(line); }
    void SetColor(std::uint32_t color) override { lines_.color = color; }

private:
    PaneLines& lines_;
};

// The page's clock is the browser's: it formats the time in the page's
// language and hands it over.
class GivenClock final : public Clock {
public:
    explicit GivenClock(std::string text) : text_(std::move(text)) {}
    std::string LongTimeText() const override { return text_; }

private:
    std::string text_;
};

}  // namespace

PageCompile CompileEditorText(std::string_view editorText, const TimingSettings& timing,
                              std::string timeText) {
    PageCompile run;
    LinesPane log(run.log);
    LinesPane listing(run.listing);
    const GivenClock clock(std::move(timeText));
    try {
        run.result = CompileProgram(EditorTextToSource(editorText), timing, log, listing, clock);
    } catch (const RangeCheckError& error) {
        run.result = error.partial;
        run.failedStatement = error.statement;
        run.failure = DisplayedErrorText(error.what());
    }
    run.ok = run.result.ok && run.failure.empty();
    return run;
}

}  // namespace kmp::web
