#include "qt_catalogue.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstring>

#include "i18n.h"

namespace kmp::i18n {
namespace {

// Qt's catalogue. Some languages' catalogues (Slovak among them) still hold
// the standard button texts under the older context "QDialogButtonBox",
// while Qt now asks for them under "QPlatformTheme": such lookups fall back
// to the older context.
class QtCatalogue final : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText,
                      const char* disambiguation = nullptr, int n = -1) const override {
        QString text = QTranslator::translate(context, sourceText, disambiguation, n);
        if (text.isEmpty() && context != nullptr && std::strcmp(context, "QPlatformTheme") == 0)
            text = QTranslator::translate("QDialogButtonBox", sourceText, disambiguation, n);
        return text;
    }
};

}  // namespace

bool InstallQtCatalogue(QCoreApplication& app) {
    auto* catalogue = new QtCatalogue(&app);
    const QLocale language(QString::fromStdString(WindowLanguage()));
    if (!catalogue->load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete catalogue;
        return false;
    }
    return QCoreApplication::installTranslator(catalogue);
}

}  // namespace kmp::i18n
