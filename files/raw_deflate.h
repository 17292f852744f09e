// Raw deflate streams (RFC 1951, no zlib or gzip wrapper), the form that a
// browser's CompressionStream('deflate-raw') makes and reads.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kmp {

// `data` compressed: one block of fixed Huffman codes over LZ77 matches.
// Small and fast enough for program texts; any inflater reads it.
std::string RawDeflate(std::string_view data);

enum class InflateStatus { Ok, Corrupt, TooLong };

struct Inflated {
    InflateStatus status = InflateStatus::Corrupt;
    std::string data;  // the whole output when Ok
};

// Reads a raw deflate stream of stored, fixed and dynamic blocks. Stops at
// once when the output would pass `limit` bytes, so a small stream cannot
// make a huge one. Bytes after the final block make the stream corrupt.
Inflated RawInflate(std::string_view stream, std::size_t limit);

}  // namespace kmp
