// The About window `winAbout`: version, author, notice, thanks and the program's picture.
#pragma once

#include <QDialog>

namespace tromel::dialogs {

// "Close" (`Command1`), Escape and the close box only hide it, so the one window can be shown again.
class AboutWindow : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* versionText = "Tromel Version 0.7.0 Beta";
    static constexpr const char* picturePath = ":/images/about.png";

    explicit AboutWindow(QWidget* parent = nullptr);

private:
    void createTexts();
    void createPicture();
};

}  // namespace tromel::dialogs
