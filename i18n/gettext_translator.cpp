#include "gettext_translator.h"

#include <QCoreApplication>

#include "i18n.h"

namespace kmp::i18n {

QString GettextTranslator::translate(const char* /*context*/, const char* sourceText,
                                     const char* /*disambiguation*/, int /*n*/) const {
    const char* translated = Tr(sourceText);
    // An empty answer tells Qt to keep the source text.
    if (translated == sourceText) return {};
    return QString::fromUtf8(translated);
}

void InstallGettextTranslator(QCoreApplication& app) {
    QCoreApplication::installTranslator(new GettextTranslator(&app));
}

}  // namespace kmp::i18n
