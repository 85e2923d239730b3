// The real file dialog and message box behind the prompts, answered programmatically.
#include "app/DialogPrompts.h"
#include "tests/ui/UiTestRegistry.h"
#include "tests/ui/dialogs/ModalDialogDriver.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace tromel::test {
namespace {

class DialogPromptsTest : public QObject {
    Q_OBJECT

private slots:
    void fileDialogsOfferOrganyaFilesAndAddTheSuffixOnlyWhenSaving() {
        DialogPrompts prompts;
        bool checked = false;
        whenModalShown<QFileDialog>([&](QFileDialog& dialog) {
            checked = dialog.windowTitle() == "Open..." && dialog.objectName() == "cmdlg1" &&
                      dialog.nameFilters() == QStringList{"Organya Music File (*.org)", "All Files (*.*)"} &&
                      dialog.selectedNameFilter() == "Organya Music File (*.org)" && dialog.defaultSuffix().isEmpty() &&
                      dialog.fileMode() == QFileDialog::ExistingFile && dialog.acceptMode() == QFileDialog::AcceptOpen;
            dialog.reject();
        });
        QCOMPARE(prompts.chooseOpenFile(nullptr, "Open...", "NewData.org"), std::nullopt);
        QVERIFY(checked);

        // As a user would: go to the folder and type a name without a suffix into the name field
        // (found by the name Qt's own dialog gives it). Saving adds ".org"; opening takes the
        // file as named, and starts in the folder of the song last saved.
        QTemporaryDir folder;
        QFile plain(folder.filePath("plain"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        const auto typeName = [&](const QString& name, QString* startFolder = nullptr) {
            whenModalShown<QFileDialog>([&folder, name, startFolder](QFileDialog& dialog) {
                if (startFolder)
                    *startFolder = dialog.directory().absolutePath();
                dialog.setDirectory(folder.path());
                if (auto* nameEdit = dialog.findChild<QLineEdit*>("fileNameEdit"))
                    nameEdit->setText(name);
                static_cast<QDialog&>(dialog).accept();  // QFileDialog::accept, reached through its public base
            });
        };
        typeName("saved-by-prompts-test");  // a name no working folder holds
        QCOMPARE(prompts.chooseSaveFile(nullptr, "Save As...", "NewData.org").value_or(""),
                 folder.filePath("saved-by-prompts-test.org"));
        QString startFolder;
        typeName("plain", &startFolder);
        QCOMPARE(prompts.chooseOpenFile(nullptr, "Open...", "NewData.org").value_or(""), folder.filePath("plain"));
        QCOMPARE(startFolder, QDir(folder.path()).absolutePath());

        // Save As of a song with a file starts in its folder with its name.
        QString proposed;
        whenModalShown<QFileDialog>([&](QFileDialog& dialog) {
            proposed = dialog.directory().filePath(dialog.findChild<QLineEdit*>("fileNameEdit")->text());
            dialog.reject();
        });
        QTemporaryDir songFolder;
        prompts.chooseSaveFile(nullptr, "Save As...", songFolder.filePath("tune.org"));
        QCOMPARE(proposed, QDir(songFolder.path()).absoluteFilePath("tune.org"));

        // The audio chooser offers files of the suggested name's kind and adds their suffix.
        whenModalShown<QFileDialog>([&](QFileDialog& dialog) {
            checked = dialog.windowTitle() == "Export Audio..." &&
                      dialog.nameFilters() == QStringList{"Ogg Vorbis File (*.ogg)", "All Files (*.*)"} &&
                      dialog.selectedNameFilter() == "Ogg Vorbis File (*.ogg)" &&
                      dialog.acceptMode() == QFileDialog::AcceptSave;
            static_cast<QDialog&>(dialog).reject();
        });
        QCOMPARE(prompts.chooseAudioFile(nullptr, "Export Audio...", "NewData.ogg"), std::nullopt);
        QVERIFY(checked);
        typeName("exported-by-prompts-test");
        QCOMPARE(prompts.chooseAudioFile(nullptr, "Export Audio...", "NewData.flac").value_or(""),
                 folder.filePath("exported-by-prompts-test.flac"));
    }

    void messageBoxShowsTitleTextAndIcon() {
        DialogPrompts prompts;
        QString seen;
        whenModalShown<QMessageBox>([&](QMessageBox& box) {
            seen = QString("%1|%2|%3").arg(box.windowTitle(), box.text()).arg(box.icon() == QMessageBox::Warning);
            box.button(QMessageBox::Ok)->click();
        });
        prompts.message(nullptr, MessageIcon::Warning, "File Open Error", "This is not a valid ORG File!");
        QCOMPARE(seen, QString("File Open Error|This is not a valid ORG File!|1"));

        // The question before writing over another program's changes: its three answers, Cancel
        // the default.
        for (const auto& [button, choice] : {std::pair{"Overwrite", ChangedFileChoice::Overwrite},
                                             {"Save As...", ChangedFileChoice::SaveAs},
                                             {"Cancel", ChangedFileChoice::Cancel}}) {
            whenModalShown<QMessageBox>([&seen, button](QMessageBox& box) {
                QStringList texts;
                for (QAbstractButton* each : box.buttons())
                    texts << each->text();
                texts.sort();
                seen = box.text() + "|" + texts.join(",") + "|" + box.defaultButton()->text();
                for (QAbstractButton* each : box.buttons())
                    if (each->text() == button)
                        each->click();
            });
            QCOMPARE(prompts.askOverwriteChanged(nullptr, "tune.org"), choice);
            QCOMPARE(seen, QString("tune.org was changed by another program since it was opened. Overwrite it, save "
                                   "under another name, or cancel?|Cancel,Overwrite,Save As...|Cancel"));
        }
    }
};

const bool registered = registerUiTest<DialogPromptsTest>();

}  // namespace
}  // namespace tromel::test

#include "DialogPromptsTest.moc"
