#include "memo_pane.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace kmp {

QColor ColorFromValue(std::uint32_t value) {
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

void MemoPane::Clear() {
    memo_.clear();
}

void MemoPane::AppendLine(std::string_view line) {
    // Each line is one block; a cleared pane holds one empty block.
    const int lines = memo_.document()->isEmpty() ? 0 : memo_.blockCount();
    if (lines > kMaxPaneLines) return;
    if (lines == kMaxPaneLines) {
        memo_.appendPlainText(QString::fromUtf8(kPaneLimitLine));
        return;
    }
    memo_.appendPlainText(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
}

void MemoPane::SetColor(std::uint32_t color) {
    QPalette palette = memo_.palette();
    palette.setColor(QPalette::Text, ColorFromValue(color));
    memo_.setPalette(palette);
}

}  // namespace kmp
