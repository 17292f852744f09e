// The board's serial line as every front end opens it, and how long a write
// may take.
#pragma once

namespace kmp {

// 300 baud, 8 data bits, no parity, 2 stop bits; once open RTS is on
// (the board's handshake input) and DTR off.
inline constexpr int kBoardBaudRate = 300;
inline constexpr int kBoardDataBits = 8;
inline constexpr int kBoardStopBits = 2;
inline constexpr bool kBoardRtsOn = true;
inline constexpr bool kBoardDtrOn = false;

// A write of N bytes may take 10 s plus 10 s a byte.
inline constexpr int kWriteLimitConstantMs = 10000;
inline constexpr int kWriteLimitPerByteMs = 10000;

}  // namespace kmp
