#include "i18n.h"

#include <libintl.h>

#include <clocale>

#include "catalogue_dir.h"

namespace kmp::i18n {

void Init() {
    std::setlocale(LC_MESSAGES, "");
    bindtextdomain(kTextDomain, CatalogueDir().c_str());
    bind_textdomain_codeset(kTextDomain, "UTF-8");
}

std::string CatalogueLanguage() {
    // gettext answers the empty msgid with the catalogue's header.
    const std::string header = dgettext(kTextDomain, "");
    const std::string key = "Language:";
    std::size_t start = header.find(key);
    if (start == std::string::npos) return {};
    start = header.find_first_not_of(' ', start + key.size());
    if (start == std::string::npos) return {};
    return header.substr(start, header.find('\n', start) - start);
}

std::string WindowLanguage() {
    std::string language = CatalogueLanguage();
    return language.empty() ? "sk" : language;
}

const char* Tr(const char* msgid) {
    // gettext answers the empty msgid with the catalogue's header.
    if (msgid == nullptr || *msgid == '\0') return msgid;
    return dgettext(kTextDomain, msgid);
}

}  // namespace kmp::i18n
