// A read-only plain-text control used as a compile pane.
#pragma once

#include <compiler.h>

#include <QColor>

class QPlainTextEdit;

namespace kmp {

// 24-bit colour value, red in the lowest byte, as a QColor.
QColor ColorFromValue(std::uint32_t value);

class MemoPane final : public Pane {
public:
    explicit MemoPane(QPlainTextEdit& memo) : memo_(memo) {}

    void Clear() override;
    void AppendLine(std::string_view line) override;
    void SetColor(std::uint32_t color) override;

private:
    QPlainTextEdit& memo_;
};

}  // namespace kmp
