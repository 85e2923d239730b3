// The real file dialog and message box behind the prompts, answered programmatically.
#include "app/DialogPrompts.h"
#include "tests/ui/UiTestRegistry.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace tromel::test {
namespace {

// Runs an action on the next modal dialog of the given type once it is shown.
template <typename Dialog>
void whenShown(std::function<void(Dialog*)> action) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            action(dialog);
        }
    });
    poll->start(10);
}

class DialogPromptsTest : public QObject {
    Q_OBJECT

private slots:
    void openDialogOffersOrganyaFilesAndReportsCancel() {
        DialogPrompts prompts;
        bool checked = false;
        whenShown<QFileDialog>([&](QFileDialog* dialog) {
            checked = dialog->windowTitle() == "Open..." && dialog->objectName() == "cmdlg1" &&
                      dialog->nameFilters() == QStringList{"Organya Music File (*.org)", "All Files (*.*)"} &&
                      dialog->selectedNameFilter() == "Organya Music File (*.org)" &&
                      dialog->defaultSuffix() == "org" && dialog->fileMode() == QFileDialog::ExistingFile &&
                      dialog->acceptMode() == QFileDialog::AcceptOpen;
            dialog->reject();
        });
        QCOMPARE(prompts.chooseOpenFile(nullptr, "Open...", "NewData.org"), std::nullopt);
        QVERIFY(checked);
    }

    void saveDialogAddsTheDefaultSuffix() {
        DialogPrompts prompts;
        QTemporaryDir folder;
        whenShown<QFileDialog>([&](QFileDialog* dialog) {
            // As a user would: go to the folder and type a name without a suffix. The name field
            // is found by the name Qt's own dialog gives it.
            dialog->setDirectory(folder.path());
            if (auto* nameEdit = dialog->findChild<QLineEdit*>("fileNameEdit"))
                nameEdit->setText("song");
            static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept, reached through its public base
        });
        const std::optional<QString> chosen = prompts.chooseSaveFile(nullptr, "Save As...", "NewData.org");
        QVERIFY(chosen.has_value());
        QCOMPARE(*chosen, folder.filePath("song.org"));
    }

    void messageBoxShowsTitleTextAndIcon() {
        DialogPrompts prompts;
        QString seen;
        whenShown<QMessageBox>([&](QMessageBox* box) {
            seen = QString("%1|%2|%3").arg(box->windowTitle(), box->text()).arg(box->icon() == QMessageBox::Warning);
            box->button(QMessageBox::Ok)->click();
        });
        prompts.message(nullptr, MessageIcon::Warning, "File Open Error", "This is not a valid ORG File!");
        QCOMPARE(seen, QString("File Open Error|This is not a valid ORG File!|1"));
    }
};

const bool registered = registerUiTest<DialogPromptsTest>();

}  // namespace
}  // namespace tromel::test

#include "DialogPromptsTest.moc"
