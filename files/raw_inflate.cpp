#include "deflate_tables.h"
#include "raw_deflate.h"

#include <array>
#include <cstdint>

namespace kmp {
namespace {

using namespace deflate;

constexpr int kMaxBits = 15;

// Thrown inside the inflater only; RawInflate turns it into a status.
struct StreamFault {
    InflateStatus status;
};

class BitReader {
public:
    explicit BitReader(std::string_view in) : in_(in) {}

    std::uint32_t Bits(int count) {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) value |= static_cast<std::uint32_t>(Bit()) << i;
        return value;
    }
    int Bit() {
        if (bit_ == 8) {
            ++at_;
            bit_ = 0;
        }
        if (at_ >= in_.size()) throw StreamFault{InflateStatus::Corrupt};
        return (static_cast<unsigned char>(in_[at_]) >> bit_++) & 1;
    }
    // Skips to the next byte boundary (before a stored block).
    void Align() {
        if (bit_ > 0) {
            ++at_;
            bit_ = 0;
        }
    }
    unsigned char Byte() {
        Align();
        if (at_ >= in_.size()) throw StreamFault{InflateStatus::Corrupt};
        return static_cast<unsigned char>(in_[at_++]);
    }
    // Whether whole bytes follow the one holding the last bit read.
    bool BytesLeft() const { return (bit_ == 0 ? at_ : at_ + 1) < in_.size(); }

private:
    std::string_view in_;
    std::size_t at_ = 0;
    int bit_ = 0;
};

// A canonical Huffman code as counts of each length and symbols in order.
struct Huffman {
    std::array<std::uint16_t, kMaxBits + 1> count{};
    std::array<std::uint16_t, 320> symbol{};
};

// Builds the code of `lengths`; an over-subscribed set is corrupt. An
// incomplete one is allowed, as a single distance code must be.
Huffman Build(const std::uint8_t* lengths, int n) {
    Huffman code;
    for (int i = 0; i < n; ++i) ++code.count[lengths[i]];
    int left = 1;
    for (int length = 1; length <= kMaxBits; ++length) {
        left = (left << 1) - code.count[length];
        if (left < 0) throw StreamFault{InflateStatus::Corrupt};
    }
    std::array<std::uint16_t, kMaxBits + 2> offset{};
    for (int length = 1; length <= kMaxBits; ++length)
        offset[length + 1] = static_cast<std::uint16_t>(offset[length] + code.count[length]);
    for (int i = 0; i < n; ++i)
        if (lengths[i] != 0) code.symbol[offset[lengths[i]]++] = static_cast<std::uint16_t>(i);
    return code;
}

int Decode(BitReader& in, const Huffman& code) {
    int value = 0;
    int first = 0;
    int index = 0;
    for (int length = 1; length <= kMaxBits; ++length) {
        value |= in.Bit();
        const int count = code.count[length];
        if (value - first < count) return code.symbol[index + value - first];
        index += count;
        first = (first + count) << 1;
        value <<= 1;
    }
    throw StreamFault{InflateStatus::Corrupt};
}

class Inflater {
public:
    Inflater(std::string_view stream, std::size_t limit) : in_(stream), limit_(limit) {}

    std::string Run() {
        bool last = false;
        while (!last) {
            last = in_.Bit() == 1;
            switch (in_.Bits(2)) {
            case 0: Stored(); break;
            case 1: Fixed(); break;
            case 2: Dynamic(); break;
            default: throw StreamFault{InflateStatus::Corrupt};
            }
        }
        if (in_.BytesLeft()) throw StreamFault{InflateStatus::Corrupt};
        return std::move(out_);
    }

private:
    void Put(char byte) {
        if (out_.size() >= limit_) throw StreamFault{InflateStatus::TooLong};
        out_.push_back(byte);
    }

    // Two bytes, low one first (the operands of | have no order).
    unsigned Word() {
        const unsigned low = in_.Byte();
        return low | static_cast<unsigned>(in_.Byte()) << 8;
    }

    void Stored() {
        const unsigned length = Word();
        const unsigned complement = Word();
        if (length != (~complement & 0xFFFFU)) throw StreamFault{InflateStatus::Corrupt};
        for (unsigned i = 0; i < length; ++i) Put(static_cast<char>(in_.Byte()));
    }

    void Fixed() {
        std::array<std::uint8_t, 288> lengths{};
        for (int i = 0; i < 288; ++i) lengths[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
        std::array<std::uint8_t, 30> distances{};
        distances.fill(5);
        Codes(Build(lengths.data(), 288), Build(distances.data(), 30));
    }

    void Dynamic() {
        static constexpr std::array<int, 19> kOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                       11, 4,  12, 3, 13, 2, 14, 1, 15};
        const int literals = static_cast<int>(in_.Bits(5)) + 257;
        const int distances = static_cast<int>(in_.Bits(5)) + 1;
        const int lengthCodes = static_cast<int>(in_.Bits(4)) + 4;
        if (literals > 286 || distances > 30) throw StreamFault{InflateStatus::Corrupt};
        std::array<std::uint8_t, 19> codeLengths{};
        for (int i = 0; i < lengthCodes; ++i)
            codeLengths[kOrder[i]] = static_cast<std::uint8_t>(in_.Bits(3));
        const Huffman lengthCode = Build(codeLengths.data(), 19);
        std::array<std::uint8_t, 316> lengths{};
        for (int i = 0; i < literals + distances;) {
            const int symbol = Decode(in_, lengthCode);
            if (symbol < 16) {
                lengths[i++] = static_cast<std::uint8_t>(symbol);
                continue;
            }
            int repeat = 0;
            std::uint8_t value = 0;
            if (symbol == 16) {
                if (i == 0) throw StreamFault{InflateStatus::Corrupt};
                value = lengths[i - 1];
                repeat = 3 + static_cast<int>(in_.Bits(2));
            } else {
                repeat = symbol == 17 ? 3 + static_cast<int>(in_.Bits(3))
                                      : 11 + static_cast<int>(in_.Bits(7));
            }
            if (i + repeat > literals + distances) throw StreamFault{InflateStatus::Corrupt};
            while (repeat-- > 0) lengths[i++] = value;
        }
        if (lengths[kEndOfBlock] == 0) throw StreamFault{InflateStatus::Corrupt};
        Codes(Build(lengths.data(), literals), Build(lengths.data() + literals, distances));
    }

    void Codes(const Huffman& literal, const Huffman& distance) {
        for (;;) {
            const int symbol = Decode(in_, literal);
            if (symbol < kEndOfBlock) {
                Put(static_cast<char>(symbol));
                continue;
            }
            if (symbol == kEndOfBlock) return;
            const int lengthCode = symbol - 257;
            if (lengthCode >= 29) throw StreamFault{InflateStatus::Corrupt};
            const int length =
                kLengthBase[lengthCode] + static_cast<int>(in_.Bits(kLengthExtra[lengthCode]));
            const int distanceCode = Decode(in_, distance);
            if (distanceCode >= 30) throw StreamFault{InflateStatus::Corrupt};
            const std::size_t back =
                kDistanceBase[distanceCode] + in_.Bits(kDistanceExtra[distanceCode]);
            if (back > out_.size()) throw StreamFault{InflateStatus::Corrupt};
            for (int i = 0; i < length; ++i) Put(out_[out_.size() - back]);
        }
    }

    BitReader in_;
    std::size_t limit_;
    std::string out_;
};

}  // namespace

Inflated RawInflate(std::string_view stream, std::size_t limit) {
    try {
        return {InflateStatus::Ok, Inflater(stream, limit).Run()};
    } catch (const StreamFault& fault) {
        return {fault.status, {}};
    }
}

}  // namespace kmp
