// kmpc's log pane writes its lines while the run goes on, in their order.
#include "text_panes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace kmpc {
namespace {

TEST(StreamPane, WritesLinesBeforeTheRunEnds) {
    char* data = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&data, &size);
    ASSERT_NE(stream, nullptr);
    std::string expected;
    {
        StreamPane pane(stream);
        pane.Clear();
        for (int i = 1; i <= 20000; ++i) {
            const std::string line = std::to_string(i) + ". riadok";
            pane.AppendLine(line);
            expected += line + '\n';
        }
        std::fflush(stream);
        EXPECT_GT(size, 0u) << "lines are written as they come";
        EXPECT_LE(expected.size() - size, 65536u + 32u) << "at most one buffer waits";
        EXPECT_EQ(std::string(data, size), expected.substr(0, size));
    }
    std::fflush(stream);
    EXPECT_EQ(std::string(data, size), expected) << "the rest is written at the end";
    std::fclose(stream);
    std::free(data);
}

}  // namespace
}  // namespace kmpc
