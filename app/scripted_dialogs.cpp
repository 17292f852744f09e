#include "scripted_dialogs.h"

namespace kmp {

Answer ScriptedDialogs::MessageBox(const QString& caption, const QString& text, BoxIcon icon,
                                   BoxButtons buttons, Answer defaultButton) {
    boxes.push_back({caption, text, icon, buttons, defaultButton});
    if (boxAnswers.empty()) return defaultButton;
    const Answer answer = boxAnswers.front();
    boxAnswers.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogs::OpenFileName(const QString& filter, const QString& folder) {
    fileRequests.push_back({false, filter, QString(), folder});
    return NextFileAnswer();
}

std::optional<QString> ScriptedDialogs::SaveFileName(const QString& filter,
                                                     const QString& defaultSuffix,
                                                     const QString& folder) {
    fileRequests.push_back({true, filter, defaultSuffix, folder});
    return NextFileAnswer();
}

std::optional<QString> ScriptedDialogs::NextFileAnswer() {
    if (fileAnswers.empty()) return std::nullopt;
    const bool chosen = fileAnswers.front().has_value();
    const QString name = fileAnswers.front().value_or(QString());
    fileAnswers.pop_front();
    if (!chosen) return std::nullopt;
    return name;
}

}  // namespace kmp
