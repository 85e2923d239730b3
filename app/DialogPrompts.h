// Prompts shown with Qt's own file dialog and message boxes.
#pragma once

#include "widgets/Prompts.h"

#include <QStringList>

namespace tromel {

class DialogPrompts : public Prompts {
public:
    // The file dialog's two filters; the first is selected.
    static QStringList orgFilters();

    void message(QWidget* parent, MessageIcon icon, const QString& title, const QString& text) override;
    std::optional<QString> chooseOpenFile(QWidget* parent, const QString& title, const QString& suggestedName) override;
    QStringList chooseOpenFiles(QWidget* parent, const QString& title, const QString& suggestedName) override;
    std::optional<QString> chooseSaveFile(QWidget* parent, const QString& title, const QString& suggestedName) override;
    SaveChoice askSaveChanges(QWidget* parent, const QString& name) override;
    bool askRestore(QWidget* parent, int songCount) override;
    ChangedFileChoice askOverwriteChanged(QWidget* parent, const QString& name) override;

    static QString saveChangesText(const QString& name);
    static QString changedText(const QString& name);
    static QString restoreText(int songCount);

    // The MIDI dialog's two filters; the first is selected.
    static QStringList midiFilters();
    std::optional<QString> chooseMidiFile(QWidget* parent, const QString& title, const QString& suggestedName,
                                          bool forSaving) override;

    // The audio file dialog's two filters for a file named with this extension ("wav", "flac",
    // "ogg", "mp3"); the first is selected.
    static QStringList audioFilters(const QString& extension);
    std::optional<QString> chooseAudioFile(QWidget* parent, const QString& title,
                                           const QString& suggestedName) override;
};

}  // namespace tromel
