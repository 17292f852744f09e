#include "rtf_reader.h"

#include "rtf_codepage.h"
#include "rtf_destinations.h"
#include "utf8_codec.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace kmp {
namespace {

// Groups nested deeper than this share the state of the deepest one: their
// formatting is ignored, their text is kept.
constexpr std::size_t kMaxGroupDepth = 256;
constexpr std::int64_t kParameterLimit = 1'000'000'000;

enum class Destination : std::uint8_t { kText, kFontTable, kSkip };

// What a group inherits from its parent and gets back when it closes.
struct GroupState {
    Destination destination = Destination::kText;
    int unicodeSkip = 1;  // \ucN: characters that follow \uN as its fallback
    int font = -1;        // -1: the document's default font
};

struct ControlWord {
    std::string_view name;
    bool hasParameter = false;
    int parameter = 0;
};

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Characters of control words that stand for one character.
char32_t SpecialCharacter(std::string_view word) {
    if (word == "emdash") return 0x2014;
    if (word == "endash") return 0x2013;
    if (word == "bullet") return 0x2022;
    if (word == "lquote") return 0x2018;
    if (word == "rquote") return 0x2019;
    if (word == "ldblquote") return 0x201C;
    if (word == "rdblquote") return 0x201D;
    if (word == "emspace" || word == "enspace" || word == "qmspace") return ' ';
    return 0;
}

class RtfReader {
public:
    explicit RtfReader(std::string_view rtf) : in_(rtf) {}

    std::string Read();

private:
    void OpenGroup();
    void CloseGroup();
    void ReadControl();
    ControlWord ReadControlWord();
    void OnControlWord(const ControlWord& word);
    void OnTextControlWord(const ControlWord& word);
    void OnFontTableWord(const ControlWord& word);
    void OnControlSymbol(char symbol);
    void OnHexEscape();
    void OnTextByte(unsigned char b);
    bool ConsumeFallback();

    GroupState& Top() { return groups_.back(); }
    bool InText() const { return groups_.back().destination == Destination::kText; }
    void SetDestination(Destination destination);
    int CurrentCodePage() const;

    void EmitCharacter(char32_t cp);
    void EmitUnicodeUnit(int parameter);
    void EmitParagraphMark();
    void EmitRowEnd();
    void FlushSurrogate();

    std::string_view in_;
    std::size_t pos_ = 0;
    std::vector<GroupState> groups_;
    std::size_t overflowDepth_ = 0;
    bool done_ = false;

    int documentCodePage_ = 1252;
    int defaultFont_ = 0;
    int definingFont_ = 0;
    std::unordered_map<int, int> fontCodePage_;
    CodePageTables tables_;

    int pendingFallback_ = 0;
    char32_t highSurrogate_ = 0;
    std::string out_;
    std::size_t afterLastParagraphMark_ = std::string::npos;
};

std::string RtfReader::Read() {
    while (pos_ < in_.size() && !done_) {
        const char c = in_[pos_++];
        switch (c) {
        case '{':
            pendingFallback_ = 0;
            OpenGroup();
            break;
        case '}':
            pendingFallback_ = 0;
            CloseGroup();
            break;
        case '\\': ReadControl(); break;
        case '\r':
        case '\n': break;
        default: OnTextByte(static_cast<unsigned char>(c)); break;
        }
    }
    FlushSurrogate();
    if (afterLastParagraphMark_ == out_.size()) out_.pop_back();
    return std::move(out_);
}

void RtfReader::OpenGroup() {
    if (groups_.size() >= kMaxGroupDepth) {
        ++overflowDepth_;
    } else if (groups_.empty()) {
        groups_.emplace_back();
    } else {
        groups_.push_back(groups_.back());
    }
}

void RtfReader::CloseGroup() {
    if (overflowDepth_ > 0) {
        --overflowDepth_;
        return;
    }
    groups_.pop_back();
    done_ = groups_.empty();
}

void RtfReader::ReadControl() {
    if (pos_ >= in_.size()) return;
    const char c = in_[pos_];
    if (IsLetter(c)) {
        OnControlWord(ReadControlWord());
        return;
    }
    ++pos_;
    if (c == '\'') {
        OnHexEscape();
    } else if (c == '\r' || c == '\n') {
        OnControlWord(ControlWord{"par"});
    } else {
        OnControlSymbol(c);
    }
}

ControlWord RtfReader::ReadControlWord() {
    ControlWord word;
    const std::size_t start = pos_;
    while (pos_ < in_.size() && IsLetter(in_[pos_])) ++pos_;
    word.name = in_.substr(start, pos_ - start);
    bool negative = false;
    if (pos_ + 1 < in_.size() && in_[pos_] == '-' && IsDigit(in_[pos_ + 1])) {
        negative = true;
        ++pos_;
    }
    std::int64_t value = 0;
    while (pos_ < in_.size() && IsDigit(in_[pos_])) {
        word.hasParameter = true;
        value = std::min(value * 10 + (in_[pos_++] - '0'), kParameterLimit);
    }
    word.parameter = static_cast<int>(negative ? -value : value);
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
    return word;
}

// A character that stands as the fallback of the last \uN is dropped.
bool RtfReader::ConsumeFallback() {
    if (pendingFallback_ == 0) return false;
    --pendingFallback_;
    return true;
}

void RtfReader::OnControlWord(const ControlWord& word) {
    if (word.name == "bin") {
        const auto count = static_cast<std::size_t>(std::max(word.parameter, 0));
        pos_ += std::min(count, in_.size() - pos_);
        ConsumeFallback();
        return;
    }
    if (ConsumeFallback()) return;
    const Destination destination = Top().destination;
    if (destination == Destination::kSkip) return;
    if (word.name == "ansicpg" && word.parameter > 0)
        documentCodePage_ = word.parameter;
    else if (word.name == "ansi")
        documentCodePage_ = 1252;
    else if (word.name == "mac")
        documentCodePage_ = 10000;
    else if (word.name == "pc")
        documentCodePage_ = 437;
    else if (word.name == "pca")
        documentCodePage_ = 850;
    else if (word.name == "deff")
        defaultFont_ = word.parameter;
    else if (destination == Destination::kFontTable)
        OnFontTableWord(word);
    else
        OnTextControlWord(word);
}

void RtfReader::OnFontTableWord(const ControlWord& word) {
    if (word.name == "f") {
        definingFont_ = word.parameter;
    } else if (word.name == "fcharset") {
        const int codePage = CodePageOfCharset(word.parameter);
        if (codePage != 0) fontCodePage_.try_emplace(definingFont_, codePage);
    } else if (word.name == "cpg" && word.parameter > 0) {
        fontCodePage_.insert_or_assign(definingFont_, word.parameter);
    } else if (IsSkippedDestination(word.name)) {
        SetDestination(Destination::kSkip);
    }
}

void RtfReader::OnTextControlWord(const ControlWord& word) {
    const std::string_view name = word.name;
    if (name == "par" || name == "sect" || name == "page") {
        EmitParagraphMark();
    } else if (name == "line") {
        EmitCharacter('\n');
    } else if (name == "tab" || name == "cell" || name == "nestcell") {
        EmitCharacter('\t');
    } else if (name == "row" || name == "nestrow") {
        EmitRowEnd();
    } else if (name == "u") {
        EmitUnicodeUnit(word.parameter);
        pendingFallback_ = Top().unicodeSkip;
    } else if (const char32_t special = SpecialCharacter(name); special != 0) {
        EmitCharacter(special);
    } else if (overflowDepth_ > 0) {
        return;  // formatting of groups past the depth limit is ignored
    } else if (name == "uc") {
        Top().unicodeSkip = std::clamp(word.parameter, 0, 255);
    } else if (name == "f") {
        Top().font = word.parameter;
    } else if (name == "plain") {
        Top().font = -1;
    } else if (name == "fonttbl") {
        Top().destination = Destination::kFontTable;
    } else if (IsSkippedDestination(name)) {
        Top().destination = Destination::kSkip;
    }
}

void RtfReader::OnControlSymbol(char symbol) {
    if (ConsumeFallback()) return;
    if (symbol == '*') {
        SetDestination(Destination::kSkip);
        return;
    }
    if (!InText()) return;
    switch (symbol) {
    case '\\':
    case '{':
    case '}': EmitCharacter(static_cast<unsigned char>(symbol)); break;
    case '~': EmitCharacter(0x00A0); break;
    case '_': EmitCharacter(0x2011); break;
    case '\t': EmitCharacter('\t'); break;
    default: break;  // \- optional hyphen, \| \: index marks
    }
}

void RtfReader::OnHexEscape() {
    int value = 0;
    int digits = 0;
    while (digits < 2 && pos_ < in_.size() && HexValue(in_[pos_]) >= 0) {
        value = value * 16 + HexValue(in_[pos_++]);
        ++digits;
    }
    if (ConsumeFallback() || digits < 2 || !InText()) return;
    EmitCharacter(tables_.Get(CurrentCodePage()).character[static_cast<std::size_t>(value)]);
}

void RtfReader::OnTextByte(unsigned char b) {
    if (ConsumeFallback() || !InText()) return;
    if (b >= 0x80) {
        EmitCharacter(tables_.Get(CurrentCodePage()).character[b]);
    } else if (b >= 0x20 || b == '\t') {
        EmitCharacter(b);
    }
}

void RtfReader::SetDestination(Destination destination) {
    if (overflowDepth_ == 0 && !groups_.empty()) Top().destination = destination;
}

int RtfReader::CurrentCodePage() const {
    const int font = groups_.back().font >= 0 ? groups_.back().font : defaultFont_;
    const auto it = fontCodePage_.find(font);
    return it != fontCodePage_.end() ? it->second : documentCodePage_;
}

void RtfReader::EmitCharacter(char32_t cp) {
    FlushSurrogate();
    AppendUtf8(out_, cp);
}

void RtfReader::EmitParagraphMark() {
    EmitCharacter('\n');
    afterLastParagraphMark_ = out_.size();
}

// A row ends its last cell: the tab of that cell becomes the line end.
void RtfReader::EmitRowEnd() {
    FlushSurrogate();
    if (!out_.empty() && out_.back() == '\t') out_.pop_back();
    EmitParagraphMark();
}

// \uN with N as a signed 16-bit number; two of them may form a surrogate pair.
void RtfReader::EmitUnicodeUnit(int parameter) {
    const auto unit = static_cast<char32_t>(static_cast<std::uint16_t>(parameter));
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        FlushSurrogate();
        highSurrogate_ = unit;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
        const char32_t high = highSurrogate_;
        highSurrogate_ = 0;
        EmitCharacter(high != 0 ? 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00)
                                : kReplacementCharacter);
    } else {
        EmitCharacter(unit);
    }
}

// A high surrogate that no low surrogate follows stands for U+FFFD.
void RtfReader::FlushSurrogate() {
    if (highSurrogate_ == 0) return;
    highSurrogate_ = 0;
    AppendUtf8(out_, kReplacementCharacter);
}

}  // namespace

bool LooksLikeRtf(std::string_view bytes) {
    return bytes.starts_with("{\\rtf");
}

std::optional<std::string> TextFromRtf(std::string_view rtf) {
    if (!LooksLikeRtf(rtf)) return std::nullopt;
    return RtfReader(rtf).Read();
}

}  // namespace kmp
