#include "program_link.h"

#include "base64url.h"
#include "editor_text.h"
#include "link_texts.h"
#include "raw_deflate.h"
#include "text_encoding.h"

#include <charconv>
#include <vector>

namespace kmp {
namespace {

// The part after "#", or all of `link` when it has none.
std::string_view FragmentOf(std::string_view link) {
    const std::size_t hash = link.find('#');
    return hash == std::string_view::npos ? link : link.substr(hash + 1);
}

// The value of `key` among the fragment's "key=value" parts joined by "&".
std::optional<std::string_view> FieldOf(std::string_view fragment, std::string_view key) {
    while (!fragment.empty()) {
        const std::size_t end = fragment.find('&');
        const std::string_view part = fragment.substr(0, end);
        if (part.size() > key.size() && part.substr(0, key.size()) == key &&
            part[key.size()] == '=')
            return part.substr(key.size() + 1);
        if (end == std::string_view::npos) break;
        fragment.remove_prefix(end + 1);
    }
    return std::nullopt;
}

std::optional<int> NumberIn(std::string_view digits, int low, int high) {
    int value = 0;
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
    if (value < low || value > high) return std::nullopt;
    return value;
}

// "prescaler.period.delay", each within its track bar's range.
std::optional<TimingSettings> TimingOf(std::string_view values) {
    std::vector<std::string_view> fields;
    for (std::size_t dot; (dot = values.find('.')) != std::string_view::npos;
         values.remove_prefix(dot + 1))
        fields.push_back(values.substr(0, dot));
    fields.push_back(values);
    if (fields.size() != 3) return std::nullopt;
    const auto prescaler = NumberIn(fields[0], kPrescalerMin, kPrescalerMax);
    const auto period = NumberIn(fields[1], kPeriodMin, kPeriodMax);
    const auto delay = NumberIn(fields[2], kDelayMin, kDelayMax);
    if (!prescaler || !period || !delay) return std::nullopt;
    TimingSettings timing;
    timing.prescaler = *prescaler;
    timing.period = *period;
    timing.delay = *delay;
    return timing;
}

LinkReading Unreadable(const char* reason) {
    return {std::nullopt, std::string(kLinkUnreadable) + reason};
}

}  // namespace

std::string ProgramLinkFragment(std::string_view text, const TimingSettings& timing) {
    return "p=" + Base64UrlEncode(RawDeflate(text)) + "&c=" + std::to_string(timing.prescaler) +
           "." + std::to_string(timing.period) + "." + std::to_string(timing.delay);
}

bool IsProgramLink(std::string_view link) {
    return FieldOf(FragmentOf(link), "p").has_value();
}

LinkReading ReadProgramLink(std::string_view link) {
    const std::string_view fragment = FragmentOf(link);
    const auto packed = FieldOf(fragment, "p");
    if (!packed) return Unreadable(kLinkNoProgram);
    const auto deflated = Base64UrlDecode(*packed);
    if (!deflated) return Unreadable(kLinkNotBase64);
    const Inflated inflated = RawInflate(*deflated, kMaxLinkedTextBytes);
    if (inflated.status == InflateStatus::TooLong) return Unreadable(kLinkTooLong);
    if (inflated.status != InflateStatus::Ok) return Unreadable(kLinkNotDeflate);
    if (!IsValidUtf8(inflated.data)) return Unreadable(kLinkNotUtf8);
    // A link without values keeps the track bars' start positions.
    TimingSettings timing;
    if (const auto values = FieldOf(fragment, "c")) {
        const auto read = TimingOf(*values);
        if (!read) return Unreadable(kLinkBadValues);
        timing = *read;
    }
    return {LinkedProgram{EditorHeldText(inflated.data), timing}, {}};
}

}  // namespace kmp
