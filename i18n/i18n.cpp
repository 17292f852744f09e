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

const char* Tr(const char* msgid) {
    // gettext answers the empty msgid with the catalogue's header.
    if (msgid == nullptr || *msgid == '\0') return msgid;
    return dgettext(kTextDomain, msgid);
}

}  // namespace kmp::i18n
