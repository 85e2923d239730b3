// Other > "Mouse and Keys" (`winMouseAndKeys`): every mouse gesture of the roll and every key.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>

namespace tromel::dialogs {

// One modeless window for the program; Close, Escape and the close box only hide it. The
// README and the manual page carry the same text.
class MouseAndKeysWindow : public QDialog {
    Q_OBJECT

public:
    struct Entry {
        QString what;  // a gesture or keys
        QString does;
    };
    // The rule every click on the roll follows.
    static QString onePerStepRule();
    static const QList<Entry>& mouseEntries();
    static const QList<Entry>& keyEntries();

    explicit MouseAndKeysWindow(QWidget* parent = nullptr);
};

}  // namespace tromel::dialogs
