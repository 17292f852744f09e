// What the board did after connect and send, in the lines that the window
// and kmpc both log: DSR that did not come on, no byte returned, and the
// check of the returned bytes against the frame (a board that echoes every
// byte it receives returns the frame).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kmp {

// How long the window waits for DSR after a connect before it says so.
inline constexpr int kDsrWaitMs = 1000;
// The quiet after the frame's write that ends the returned bytes of a send.
inline constexpr int kReplyQuietMs = 2000;

// Milliseconds as seconds in Slovak writing: "5", "0,2", "1,25".
std::string SlovakSeconds(int ms);

inline constexpr const char* kNoReplyLine =
    "Doska neodpovedá: po odoslaní sa nevrátil žiadny bajt.";

// "Doska na porte X nezapla signál DSR do 1 s: nie je pripojená, zapnutá
// alebo pripravená.".
std::string DsrOffLine(std::string_view portName, int timeoutMs);

// The returned bytes of one send, compared with its frame.
class EchoCheck {
public:
    // A new send of `frame`: nothing has come back yet.
    void Start(std::vector<std::uint8_t> frame);
    // Takes returned bytes, the ones beyond the frame's length are not
    // compared. True once the frame's length has come back.
    bool Take(std::string_view bytes);
    bool Complete() const { return returned_.size() >= frame_.size(); }
    // The bytes came back exactly as sent.
    bool Exact() const;
    // "Overenie: doska vrátila presne odoslané bajty (N).", "... iné bajty,
    // ako sa odoslali – prvý rozdiel na bajte K: odoslaný X, vrátený Y."
    // (K from 1), "... len N z M bajtov."; with nothing returned the
    // no-reply line.
    std::string Line() const;

private:
    std::vector<std::uint8_t> frame_;
    std::vector<std::uint8_t> returned_;
};

}  // namespace kmp
