// Prompts for tests: answers file choosers from a queue and records every message.
#pragma once

#include "widgets/Prompts.h"

#include <QList>
#include <QString>
#include <QStringList>
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
    // Answers to "Save changes to NAME?" in order (Discard when none is queued), and the names asked about.
    std::deque<SaveChoice> saveAnswers;
    QStringList savePrompts;
    // Answers to "NAME was changed by another program..." in order (Cancel when none is queued),
    // and the names asked about.
    std::deque<ChangedFileChoice> changedAnswers;
    QStringList changedPrompts;
    // Whether to restore recovered songs (no when none is queued), and the counts asked about.
    std::deque<bool> restoreAnswers;
    QList<int> restorePrompts;

    void message(QWidget*, MessageIcon icon, const QString& title, const QString& text) override {
        messages << RecordedMessage{icon, title, text};
    }
    std::optional<QString> chooseOpenFile(QWidget*, const QString& title, const QString& suggested) override {
        return answer(false, title, suggested);
    }
    // An answer of several paths joined by "|" chooses them all.
    QStringList chooseOpenFiles(QWidget*, const QString& title, const QString& suggested) override {
        const std::optional<QString> paths = answer(false, title, suggested);
        return paths ? paths->split('|') : QStringList{};
    }
    std::optional<QString> chooseSaveFile(QWidget*, const QString& title, const QString& suggested) override {
        return answer(true, title, suggested);
    }
    std::optional<QString> chooseMidiFile(QWidget*, const QString& title, const QString& suggested,
                                          bool forSaving) override {
        return answer(forSaving, title, suggested);
    }
    std::optional<QString> chooseAudioFile(QWidget*, const QString& title, const QString& suggested) override {
        return answer(true, title, suggested);
    }
    SaveChoice askSaveChanges(QWidget*, const QString& name) override {
        savePrompts << name;
        return next(saveAnswers, SaveChoice::Discard);
    }
    ChangedFileChoice askOverwriteChanged(QWidget*, const QString& name) override {
        changedPrompts << name;
        return next(changedAnswers, ChangedFileChoice::Cancel);
    }
    bool askRestore(QWidget*, int songCount) override {
        restorePrompts << songCount;
        return next(restoreAnswers, false);
    }

private:
    template <typename T>
    static T next(std::deque<T>& queue, T otherwise) {
        if (queue.empty())
            return otherwise;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
    std::optional<QString> answer(bool forSaving, const QString& title, const QString& suggested) {
        choosers << RecordedChooser{forSaving, title, suggested};
        const QString path = next(answers, QString());
        return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
    }
};

}  // namespace tromel::test
