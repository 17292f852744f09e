// The compile panes of kmpc: the listing kept until the run is over, the log
// written out as the run goes.
#pragma once

#include "compiler.h"

#include <cstdio>
#include <string>

namespace kmpc {

// A pane that keeps its lines (each ending with LF), to be printed when the
// run is over: the run rewrites the listing at its end.
class TextPane final : public kmp::Pane {
public:
    void Clear() override { text_.clear(); }
    void AppendLine(std::string_view line) override;
    void SetColor(std::uint32_t) override {}
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

// A pane that writes its lines to a stream as they come, through a buffer of
// 64 KiB, so that a log of millions of lines costs no memory. Written lines
// cannot be taken back: Clear only drops what is not yet written, which is
// all a run's clear at its start needs.
class StreamPane final : public kmp::Pane {
public:
    explicit StreamPane(std::FILE* stream) : stream_(stream) {}
    ~StreamPane() override { Flush(); }
    StreamPane(const StreamPane&) = delete;
    StreamPane& operator=(const StreamPane&) = delete;

    void Clear() override { buffer_.clear(); }
    void AppendLine(std::string_view line) override;
    void SetColor(std::uint32_t) override {}

    // Writes the buffered lines.
    void Flush();

private:
    std::FILE* stream_;
    std::string buffer_;
};

}  // namespace kmpc
