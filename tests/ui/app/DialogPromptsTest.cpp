// The real file dialog and message box behind the prompts, answered programmatically.
#include "app/DialogPrompts.h"
#include "tests/ui/UiTestRegistry.h"
#include "tests/ui/dialogs/ModalDialogDriver.h"

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
    void fileDialogsOfferOrganyaFilesAndAddTheDefaultSuffix() {
        DialogPrompts prompts;
        bool checked = false;
        whenModalShown<QFileDialog>([&](QFileDialog& dialog) {
            checked = dialog.windowTitle() == "Open..." && dialog.objectName() == "cmdlg1" &&
                      dialog.nameFilters() == QStringList{"Organya Music File (*.org)", "All Files (*.*)"} &&
                      dialog.selectedNameFilter() == "Organya Music File (*.org)" && dialog.defaultSuffix() == "org" &&
                      dialog.fileMode() == QFileDialog::ExistingFile && dialog.acceptMode() == QFileDialog::AcceptOpen;
            dialog.reject();
        });
        QCOMPARE(prompts.chooseOpenFile(nullptr, "Open...", "NewData.org"), std::nullopt);
        QVERIFY(checked);

        // As a user would: go to the folder and type a name without a suffix into the name field
        // (found by the name Qt's own dialog gives it).
        QTemporaryDir folder;
        whenModalShown<QFileDialog>([&](QFileDialog& dialog) {
            dialog.setDirectory(folder.path());
            if (auto* nameEdit = dialog.findChild<QLineEdit*>("fileNameEdit"))
                nameEdit->setText("saved-by-prompts-test");  // a name no working folder holds
            static_cast<QDialog&>(dialog).accept();          // QFileDialog::accept, reached through its public base
        });
        QCOMPARE(prompts.chooseSaveFile(nullptr, "Save As...", "NewData.org").value_or(""),
                 folder.filePath("saved-by-prompts-test.org"));
    }

    void theWavChooserOffersWavFilesAndAddsTheirSuffix() {
        DialogPrompts prompts;
        QTemporaryDir folder;
        bool checked = false;
        whenModalShown<QFileDialog>([&](QFileDialog& dialog) {
            checked = dialog.windowTitle() == "Export WAV..." &&
                      dialog.nameFilters() == QStringList{"WAV File (*.wav)", "All Files (*.*)"} &&
                      dialog.selectedNameFilter() == "WAV File (*.wav)" &&
                      dialog.acceptMode() == QFileDialog::AcceptSave;
            dialog.setDirectory(folder.path());
            if (auto* nameEdit = dialog.findChild<QLineEdit*>("fileNameEdit"))
                nameEdit->setText("exported-by-prompts-test");
            static_cast<QDialog&>(dialog).accept();
        });
        QCOMPARE(prompts.chooseWavFile(nullptr, "Export WAV...", "NewData.wav").value_or(""),
                 folder.filePath("exported-by-prompts-test.wav"));
        QVERIFY(checked);
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
    }
};

const bool registered = registerUiTest<DialogPromptsTest>();

}  // namespace
}  // namespace tromel::test

#include "DialogPromptsTest.moc"
