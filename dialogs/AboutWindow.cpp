// The About window `winAbout`: version, author, notice, thanks and the program's picture.
#include "dialogs/AboutWindow.h"

#include "dialogs/PlacedWidgets.h"

#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tromel::dialogs {
namespace {

const char* const thanksText =
    "Thanks to:\n"
    "The Qt Project, for Qt 6 Widgets\n"
    "The SDL developers, for SDL2's audio output\n"
    "The libsndfile developers, for reading and writing WAV\n"
    "Google, for GoogleTest and Google Benchmark\n"
    "The LLVM project, for libFuzzer";

QLabel* namedLabel(QWidget* parent, const char* name, const QString& text, int left, int top, int width) {
    QLabel* label = placedLabel(parent, text, left, top, width, 17);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

}  // namespace

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("winAbout"));
    setWindowTitle(QStringLiteral("About"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setClientSize(this, 409, 196);
    createTexts();
    createPicture();
    auto* command1 = placed(new QPushButton(QStringLiteral("Close"), this), 136, 160, 137, 33);
    command1->setObjectName(QStringLiteral("Command1"));
    command1->setDefault(true);
    connect(command1, &QPushButton::clicked, this, &QDialog::hide);
}

void AboutWindow::createTexts() {
    namedLabel(this, "labelVersion", QString::fromLatin1(versionText), 168, 8, 185);
    namedLabel(this, "labelAuthor", QStringLiteral("by the Tromel developers"), 168, 24, 185);
    namedLabel(this, "labelNotice", QStringLiteral("Copyright \u00A9 2026 the Tromel developers. All rights reserved."),
               16, 40, 377);
    auto* thanks = placed(new QPlainTextEdit(QString::fromLatin1(thanksText), this), 16, 64, 377, 89);
    thanks->setObjectName(QStringLiteral("textThanks"));
    thanks->setReadOnly(true);
}

// The picture is generated at build time; without it the place stays empty.
void AboutWindow::createPicture() {
    QLabel* picture = placedLabel(this, QString(), 128, 8, 32, 32);
    picture->setObjectName(QStringLiteral("picture"));
    const QPixmap pixmap(QString::fromLatin1(picturePath));
    if (!pixmap.isNull())
        picture->setPixmap(pixmap);
}

}  // namespace tromel::dialogs
