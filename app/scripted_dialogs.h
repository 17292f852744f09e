// Dialogs for tests: records every request and answers from queues.
#pragma once

#include "dialogs.h"

#include <deque>
#include <vector>

namespace kmp {

class ScriptedDialogs final : public Dialogs {
public:
    struct Box {
        QString caption;
        QString text;
        BoxIcon icon;
        BoxButtons buttons;
        Answer defaultButton;
    };
    struct FileRequest {
        bool save;
        QString filter;
        QString defaultSuffix;
        QString folder;
    };

    // Answers, taken in order; an empty queue answers a box with its default
    // button and a file dialog with cancel.
    std::deque<Answer> boxAnswers;
    std::deque<std::optional<QString>> fileAnswers;

    std::vector<Box> boxes;
    std::vector<FileRequest> fileRequests;

    Answer MessageBox(const QString& caption, const QString& text, BoxIcon icon, BoxButtons buttons,
                      Answer defaultButton) override;
    std::optional<QString> OpenFileName(const QString& filter, const QString& folder) override;
    std::optional<QString> SaveFileName(const QString& filter, const QString& defaultSuffix,
                                        const QString& folder) override;

private:
    std::optional<QString> NextFileAnswer();
};

}  // namespace kmp
