#include "raw_deflate.h"

#include "deflate_tables.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kmp {
namespace {

using namespace deflate;

// Bits packed from the lowest bit of each byte up, as deflate stores them.
class BitWriter {
public:
    void Put(std::uint32_t value, int count) {
        buffer_ |= value << filled_;
        filled_ += count;
        while (filled_ >= 8) {
            out_.push_back(static_cast<char>(buffer_ & 0xFF));
            buffer_ >>= 8;
            filled_ -= 8;
        }
    }
    // A Huffman code goes out from its highest bit.
    void PutCode(std::uint32_t code, int length) {
        std::uint32_t reversed = 0;
        for (int i = 0; i < length; ++i) reversed |= ((code >> i) & 1U) << (length - 1 - i);
        Put(reversed, length);
    }
    std::string Finish() {
        if (filled_ > 0) out_.push_back(static_cast<char>(buffer_ & 0xFF));
        return std::move(out_);
    }

private:
    std::string out_;
    std::uint32_t buffer_ = 0;
    int filled_ = 0;
};

// The fixed literal/length code (RFC 1951, 3.2.6).
void PutSymbol(BitWriter& out, int symbol) {
    if (symbol < 144)
        out.PutCode(0x30 + symbol, 8);
    else if (symbol < 256)
        out.PutCode(0x190 + symbol - 144, 9);
    else if (symbol < 280)
        out.PutCode(symbol - 256, 7);
    else
        out.PutCode(0xC0 + symbol - 280, 8);
}

template <std::size_t N, typename T>
int CodeOf(const std::array<T, N>& bases, int value) {
    const auto* after = std::upper_bound(bases.begin(), bases.end(), value);
    return static_cast<int>(after - bases.begin()) - 1;
}

void PutMatch(BitWriter& out, int length, int distance) {
    // 258 has a code of its own although 227 + 31 would reach it.
    const int lengthCode = length == kMaxMatch ? 28 : CodeOf(kLengthBase, length);
    PutSymbol(out, 257 + lengthCode);
    out.Put(static_cast<std::uint32_t>(length - kLengthBase[lengthCode]), kLengthExtra[lengthCode]);
    const int distanceCode = CodeOf(kDistanceBase, distance);
    out.PutCode(static_cast<std::uint32_t>(distanceCode), 5);
    out.Put(static_cast<std::uint32_t>(distance - kDistanceBase[distanceCode]),
            kDistanceExtra[distanceCode]);
}

constexpr int kHashBits = 15;
constexpr int kMaxChain = 128;

// Earlier positions of the same three bytes, newest first.
class MatchFinder {
public:
    explicit MatchFinder(std::string_view data)
        : data_(data), head_(std::size_t{1} << kHashBits, -1), previous_(data.size(), -1) {}

    void Insert(std::size_t at) {
        if (at + kMinMatch > data_.size()) return;
        const std::size_t hash = HashAt(at);
        previous_[at] = head_[hash];
        head_[hash] = static_cast<int>(at);
    }

    // The longest earlier match at `at` as {length, distance}; length 0 for none.
    std::pair<int, int> Longest(std::size_t at) const {
        if (at + kMinMatch > data_.size()) return {0, 0};
        const int limit = static_cast<int>(std::min<std::size_t>(kMaxMatch, data_.size() - at));
        int bestLength = 0;
        int bestDistance = 0;
        int candidate = head_[HashAt(at)];
        for (int steps = 0; candidate >= 0 && steps < kMaxChain; ++steps) {
            const int distance = static_cast<int>(at) - candidate;
            if (distance > kWindowSize) break;
            int length = 0;
            while (length < limit && data_[candidate + length] == data_[at + length]) ++length;
            if (length > bestLength) {
                bestLength = length;
                bestDistance = distance;
                if (length == limit) break;
            }
            candidate = previous_[candidate];
        }
        return bestLength >= kMinMatch ? std::pair{bestLength, bestDistance} : std::pair{0, 0};
    }

private:
    std::size_t HashAt(std::size_t at) const {
        const auto byte = [&](std::size_t i) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(data_[i]));
        };
        const std::uint32_t key = byte(at) | byte(at + 1) << 8 | byte(at + 2) << 16;
        return (key * 2654435761U) >> (32 - kHashBits);
    }

    std::string_view data_;
    std::vector<int> head_;
    std::vector<int> previous_;
};

}  // namespace

std::string RawDeflate(std::string_view data) {
    BitWriter out;
    out.Put(1, 1);  // the final block
    out.Put(1, 2);  // fixed Huffman codes
    MatchFinder finder(data);
    std::size_t at = 0;
    while (at < data.size()) {
        const auto [length, distance] = finder.Longest(at);
        if (length == 0) {
            PutSymbol(out, static_cast<unsigned char>(data[at]));
            finder.Insert(at++);
            continue;
        }
        PutMatch(out, length, distance);
        for (int i = 0; i < length; ++i) finder.Insert(at++);
    }
    PutSymbol(out, kEndOfBlock);
    return out.Finish();
}

}  // namespace kmp
