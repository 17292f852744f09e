// A read-only plain-text control used as a compile pane.
#pragma once

#include <compiler.h>

#include <QColor>

class QPlainTextEdit;

namespace kmp {

// 24-bit colour value, red in the lowest byte, as a QColor.
QColor ColorFromValue(std::uint32_t value);

// The most lines that a pane shows. A text with millions of faulty lines
// would otherwise cost gigabytes and minutes; past the limit one last line
// says that the rest is not shown.
inline constexpr int kMaxPaneLines = 10000;
inline constexpr const char* kPaneLimitLine = "… ďalšie riadky sa nezobrazujú";

class MemoPane final : public Pane {
public:
    explicit MemoPane(QPlainTextEdit& memo) : memo_(memo) {}

    void Clear() override;
    // Appends the line; past kMaxPaneLines, kPaneLimitLine once, then nothing.
    void AppendLine(std::string_view line) override;
    void SetColor(std::uint32_t color) override;

private:
    QPlainTextEdit& memo_;
};

}  // namespace kmp
