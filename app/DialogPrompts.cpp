// Qt file dialogs and message boxes for the editor's prompts.
#include "app/DialogPrompts.h"

#include "widgets/ProgramSettings.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

namespace tromel {
namespace {

QMessageBox::Icon toQtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            break;
    }
    return QMessageBox::Information;
}

// The folder of the song last opened or saved, else the user's music folder, else home.
QString startFolder() {
    for (const QString& folder :
         {settings::songFolder(), QStandardPaths::writableLocation(QStandardPaths::MusicLocation)}) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    }
    return QDir::homePath();
}

enum class Choosing { OneToOpen, SomeToOpen, ToSave };

QStringList runFileDialog(QWidget* parent, const QString& title, const QString& suggestedName, Choosing choosing) {
    const bool forSaving = choosing == Choosing::ToSave;
    QFileDialog dialog(parent, title);
    dialog.setObjectName("cmdlg1");
    dialog.setNameFilters(DialogPrompts::orgFilters());
    dialog.selectNameFilter(DialogPrompts::orgFilters().first());
    // Only a name typed for saving gets ".org": a file to open is taken as named, with or
    // without an extension.
    if (forSaving)
        dialog.setDefaultSuffix("org");
    dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(forSaving                          ? QFileDialog::AnyFile
                       : choosing == Choosing::SomeToOpen ? QFileDialog::ExistingFiles
                                                          : QFileDialog::ExistingFile);
    // A suggested name with a folder (a song's own file) opens in that folder.
    const QFileInfo suggested(suggestedName);
    dialog.setDirectory(suggested.isAbsolute() ? suggested.absolutePath() : startFolder());
    dialog.selectFile(suggested.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QStringList chosen = dialog.selectedFiles();
    settings::setSongFolder(QFileInfo(chosen.first()).absolutePath());
    return chosen;
}

std::optional<QString> firstOf(const QStringList& paths) {
    return paths.isEmpty() ? std::nullopt : std::optional<QString>(paths.first());
}

}  // namespace

QStringList DialogPrompts::orgFilters() {
    return {"Organya Music File (*.org)", "All Files (*.*)"};
}

void DialogPrompts::message(QWidget* parent, MessageIcon icon, const QString& title, const QString& text) {
    QMessageBox box(toQtIcon(icon), title, text, QMessageBox::Ok, parent);
    box.exec();
}

std::optional<QString> DialogPrompts::chooseOpenFile(QWidget* parent, const QString& title,
                                                     const QString& suggestedName) {
    return firstOf(runFileDialog(parent, title, suggestedName, Choosing::OneToOpen));
}

QStringList DialogPrompts::chooseOpenFiles(QWidget* parent, const QString& title, const QString& suggestedName) {
    return runFileDialog(parent, title, suggestedName, Choosing::SomeToOpen);
}

std::optional<QString> DialogPrompts::chooseSaveFile(QWidget* parent, const QString& title,
                                                     const QString& suggestedName) {
    return firstOf(runFileDialog(parent, title, suggestedName, Choosing::ToSave));
}

SaveChoice DialogPrompts::askSaveChanges(QWidget* parent, const QString& name) {
    QMessageBox box(QMessageBox::Warning, "Tromel", saveChangesText(name),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
        case QMessageBox::Save:
            return SaveChoice::Save;
        case QMessageBox::Discard:
            return SaveChoice::Discard;
        default:
            return SaveChoice::Cancel;
    }
}

bool DialogPrompts::askRestore(QWidget* parent, int songCount) {
    QMessageBox box(QMessageBox::Question, "Tromel", restoreText(songCount), QMessageBox::NoButton, parent);
    QPushButton* restore = box.addButton("Restore", QMessageBox::AcceptRole);
    box.addButton(QMessageBox::Discard);
    box.setDefaultButton(restore);
    box.exec();
    return box.clickedButton() == restore;
}

// Cancel by default: a key pressed without reading writes over nothing.
ChangedFileChoice DialogPrompts::askOverwriteChanged(QWidget* parent, const QString& name) {
    QMessageBox box(QMessageBox::Warning, "Tromel", changedText(name), QMessageBox::NoButton, parent);
    QPushButton* overwrite = box.addButton("Overwrite", QMessageBox::DestructiveRole);
    QPushButton* saveAs = box.addButton("Save As...", QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton("Cancel", QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == overwrite)
        return ChangedFileChoice::Overwrite;
    return box.clickedButton() == saveAs ? ChangedFileChoice::SaveAs : ChangedFileChoice::Cancel;
}

QString DialogPrompts::changedText(const QString& name) {
    return QString(
               "%1 was changed by another program since it was opened. Overwrite it, save under another name, "
               "or cancel?")
        .arg(name);
}

QString DialogPrompts::saveChangesText(const QString& name) {
    return QString("Save changes to %1?").arg(name);
}

QString DialogPrompts::restoreText(int songCount) {
    return songCount == 1 ? QString("Tromel did not close properly. Restore 1 unsaved song?")
                          : QString("Tromel did not close properly. Restore %1 unsaved songs?").arg(songCount);
}

QStringList DialogPrompts::midiFilters() {
    return {"MIDI File (*.mid *.midi)", "All Files (*.*)"};
}

std::optional<QString> DialogPrompts::chooseMidiFile(QWidget* parent, const QString& title,
                                                     const QString& suggestedName, bool forSaving) {
    QFileDialog dialog(parent, title);
    dialog.setObjectName("midiDialog");
    dialog.setNameFilters(midiFilters());
    dialog.selectNameFilter(midiFilters().first());
    if (forSaving)
        dialog.setDefaultSuffix("mid");
    dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QFileInfo suggested(suggestedName);
    dialog.setDirectory(suggested.isAbsolute() ? suggested.absolutePath() : startFolder());
    dialog.selectFile(suggested.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

QStringList DialogPrompts::audioFilters(const QString& extension) {
    const QString kind = extension == "ogg" ? QString("Ogg Vorbis") : extension.toUpper();
    return {QString("%1 File (*.%2)").arg(kind, extension), "All Files (*.*)"};
}

std::optional<QString> DialogPrompts::chooseAudioFile(QWidget* parent, const QString& title,
                                                      const QString& suggestedName) {
    const QString extension = QFileInfo(suggestedName).suffix();
    QFileDialog dialog(parent, title);
    dialog.setObjectName("audioDialog");
    dialog.setNameFilters(audioFilters(extension));
    dialog.selectNameFilter(audioFilters(extension).first());
    dialog.setDefaultSuffix(extension);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.selectFile(suggestedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

}  // namespace tromel
