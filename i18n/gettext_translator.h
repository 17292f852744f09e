// Hooks the window's texts (tr(), and the captions of .ui files) into the
// gettext lookup of the "kmp" domain.
#pragma once

#include <QTranslator>

class QCoreApplication;

namespace kmp::i18n {

// A translator whose every lookup asks gettext. The msgid is the source text
// as written in the program; the context and the plural count play no part.
class GettextTranslator : public QTranslator {
    Q_OBJECT

public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText,
                      const char* disambiguation = nullptr, int n = -1) const override;
    bool isEmpty() const override { return false; }
};

// Installs a GettextTranslator owned by `app`. Call after Init() and before
// any window is built.
void InstallGettextTranslator(QCoreApplication& app);

}  // namespace kmp::i18n
