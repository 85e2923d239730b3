// The questions and messages the editor puts to the user, behind an interface tests can replace.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace tromel {

enum class MessageIcon { Critical, Warning, Information };

// The answers to "Save changes to NAME?".
enum class SaveChoice { Save, Discard, Cancel };

// The answers to "NAME was changed by another program since it was opened. ...".
enum class ChangedFileChoice { Overwrite, SaveAs, Cancel };

class Prompts {
public:
    virtual ~Prompts() = default;

    // A modal message box with a single OK button.
    virtual void message(QWidget* parent, MessageIcon icon, const QString& title, const QString& text) = 0;
    // The path of an existing file to open, or nothing when the user cancelled.
    virtual std::optional<QString> chooseOpenFile(QWidget* parent, const QString& title,
                                                  const QString& suggestedName) = 0;
    // The paths of one or more existing files to open, none when the user cancelled. Where a
    // chooser takes one file only, that one.
    virtual QStringList chooseOpenFiles(QWidget* parent, const QString& title, const QString& suggestedName) {
        const std::optional<QString> path = chooseOpenFile(parent, title, suggestedName);
        return path ? QStringList{*path} : QStringList{};
    }
    // The path to save to, or nothing when the user cancelled.
    virtual std::optional<QString> chooseSaveFile(QWidget* parent, const QString& title,
                                                  const QString& suggestedName) = 0;
    // "Save changes to NAME?" for a song about to be closed with unsaved changes.
    virtual SaveChoice askSaveChanges(QWidget* parent, const QString& name) = 0;
    // "NAME was changed by another program since it was opened. Overwrite it, save under another
    // name, or cancel?" before a save would write over what another program wrote.
    virtual ChangedFileChoice askOverwriteChanged(QWidget* parent, const QString& name) = 0;
    // Whether to restore the unsaved songs a session left when it ended without closing (true),
    // or to discard them (false).
    virtual bool askRestore(QWidget* parent, int songCount) = 0;
    // The path of a MIDI file to read (or, forSaving, to write), or nothing when the user cancelled.
    virtual std::optional<QString> chooseMidiFile(QWidget* parent, const QString& title, const QString& suggestedName,
                                                  bool forSaving) = 0;
    // The path of an audio file to write, of the kind the suggested name's extension gives, or
    // nothing when the user cancelled.
    virtual std::optional<QString> chooseAudioFile(QWidget* parent, const QString& title,
                                                   const QString& suggestedName) = 0;
};

}  // namespace tromel
