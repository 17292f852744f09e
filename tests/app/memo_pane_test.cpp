// A compile pane shows at most kMaxPaneLines lines and then one line that
// says so; clearing it starts again.
#include "memo_pane.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

#include <string>

namespace kmp {
namespace {

QString LineAt(const QPlainTextEdit& memo, int index) {
    return memo.document()->findBlockByNumber(index).text();
}

TEST(MemoPaneLimit, ShowsTheFirstLinesAndOneLastLine) {
    int argc = 1;
    char name[] = "memo_pane_test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QPlainTextEdit memo;
    MemoPane pane(memo);
    pane.Clear();
    for (int i = 1; i <= kMaxPaneLines; ++i) pane.AppendLine(std::to_string(i) + ". riadok");
    EXPECT_EQ(memo.blockCount(), kMaxPaneLines);
    EXPECT_EQ(LineAt(memo, kMaxPaneLines - 1), QString("%1. riadok").arg(kMaxPaneLines));

    for (int i = 0; i < 5000; ++i) pane.AppendLine("ďalšia chyba");
    EXPECT_EQ(memo.blockCount(), kMaxPaneLines + 1);
    EXPECT_EQ(LineAt(memo, kMaxPaneLines - 1), QString("%1. riadok").arg(kMaxPaneLines));
    EXPECT_EQ(LineAt(memo, kMaxPaneLines), QString::fromUtf8("… ďalšie riadky sa nezobrazujú"));

    pane.Clear();
    pane.AppendLine("Začínam prekladať...");
    EXPECT_EQ(memo.toPlainText(), QString::fromUtf8("Začínam prekladať..."));
}

}  // namespace
}  // namespace kmp
