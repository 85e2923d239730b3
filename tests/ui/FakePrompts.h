// Prompts for tests: answers file choosers from a queue and records every message.
#pragma once

#include "app/Prompts.h"

#include <QList>
#include <QString>
#include <QTest>

#include <deque>
#include <optional>

namespace tromel::test {

struct RecordedMessage {
    MessageIcon icon;
    QString title;
    QString text;
    bool operator==(const RecordedMessage&) const = default;
};

struct RecordedChooser {
    bool forSaving;
    QString title;
    QString suggestedName;
    bool operator==(const RecordedChooser&) const = default;
};

// What a failed comparison prints.
inline char* toString(const RecordedMessage& m) {
    return QTest::toString(QString("%1 %2: %3").arg(int(m.icon)).arg(m.title, m.text));
}
inline char* toString(const RecordedChooser& c) {
    return QTest::toString(QString("%1 %2: %3").arg(c.forSaving ? "save" : "open", c.title, c.suggestedName));
}

class FakePrompts : public Prompts {
public:
    // Answers of the next file choosers, in order; an empty path or nothing queued means Cancel.
    std::deque<QString> answers;
    QList<RecordedMessage> messages;
    QList<RecordedChooser> choosers;

    void message(QWidget*, MessageIcon icon, const QString& title, const QString& text) override {
        messages << RecordedMessage{icon, title, text};
    }
    std::optional<QString> chooseOpenFile(QWidget*, const QString& title, const QString& suggested) override {
        return answer(false, title, suggested);
    }
    std::optional<QString> chooseSaveFile(QWidget*, const QString& title, const QString& suggested) override {
        return answer(true, title, suggested);
    }

    // Answered from the same queue as the other file choosers, and recorded among them.
    std::optional<QString> chooseWavFile(QWidget*, const QString& title, const QString& suggested) override {
        return answer(true, title, suggested);
    }

private:
    std::optional<QString> answer(bool forSaving, const QString& title, const QString& suggested) {
        choosers << RecordedChooser{forSaving, title, suggested};
        const QString next = answers.empty() ? QString() : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return next.isEmpty() ? std::nullopt : std::optional<QString>(next);
    }
};

}  // namespace tromel::test
