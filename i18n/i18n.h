// Message catalogue lookup (GNU gettext, text domain "kmp").
#pragma once

#include <string>

namespace kmp::i18n {

inline constexpr const char* kTextDomain = "kmp";

// Binds the text domain to the program's catalogue folder (the build tree's
// when run uninstalled, else the install prefix's share/locale) and takes the
// language from the environment ("LANGUAGE", "LC_ALL", "LC_MESSAGES",
// "LANG"). Only the message category of the locale is set, so formatting of
// numbers and times stays as it was. Call once at program start, before any
// lookup.
void Init();

// The language of the "kmp" catalogue in use (its "Language" header, such as
// "en"), or empty when no catalogue is in use and texts stay as written.
std::string CatalogueLanguage();

// The language the window's texts are shown in: the catalogue's, or Slovak
// ("sk"), the language the texts are written in.
std::string WindowLanguage();

// The translation of `msgid` in the user's language, or `msgid` itself.
// An empty text is its own translation.
const char* Tr(const char* msgid);

}  // namespace kmp::i18n
