// Prompts for tests: answers file choosers from a queue and records every message.
#pragma once

#include "app/Prompts.h"

#include <QList>
#include <QString>

#include <deque>
#include <optional>

namespace tromel::test {

struct RecordedMessage {
    MessageIcon icon;
    QString title;
    QString text;
};

struct RecordedChooser {
    bool forSaving;
    QString title;
    QString suggestedName;
};

class FakePrompts : public Prompts {
public:
    // Answers of the next file choosers, in order; an empty path or nothing queued means Cancel.
    std::deque<QString> answers;
    QList<RecordedMessage> messages;
    QList<RecordedChooser> choosers;

    void message(QWidget*, MessageIcon icon, const QString& title, const QString& text) override {
        messages << RecordedMessage{icon, title, text};
    }
    std::optional<QString> chooseOpenFile(QWidget*, const QString& title, const QString& suggestedName) override {
        return answer(false, title, suggestedName);
    }
    std::optional<QString> chooseSaveFile(QWidget*, const QString& title, const QString& suggestedName) override {
        return answer(true, title, suggestedName);
    }

private:
    std::optional<QString> answer(bool forSaving, const QString& title, const QString& suggestedName) {
        choosers << RecordedChooser{forSaving, title, suggestedName};
        if (answers.empty())
            return std::nullopt;
        const QString next = answers.front();
        answers.pop_front();
        if (next.isEmpty())
            return std::nullopt;
        return next;
    }
};

}  // namespace tromel::test
