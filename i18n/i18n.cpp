#include "i18n.h"

#include <libintl.h>

#include <clocale>

#ifndef KMP_LOCALEDIR
#define KMP_LOCALEDIR "/usr/local/share/locale"
#endif

namespace kmp::i18n {

void Init() {
    std::setlocale(LC_MESSAGES, "");
    bindtextdomain(kTextDomain, KMP_LOCALEDIR);
    bind_textdomain_codeset(kTextDomain, "UTF-8");
}

const char* Tr(const char* msgid) {
    return dgettext(kTextDomain, msgid);
}

}  // namespace kmp::i18n
