// Message catalogue lookup (GNU gettext, text domain "kmp").
#pragma once

namespace kmp::i18n {

inline constexpr const char* kTextDomain = "kmp";

// Binds the text domain to the catalogue folder and takes the language from
// the environment. Call once at program start, before any lookup.
void Init();

// The translation of `msgid` in the user's language, or `msgid` itself.
const char* Tr(const char* msgid);

}  // namespace kmp::i18n
