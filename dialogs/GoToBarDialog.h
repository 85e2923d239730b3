// The small dialog of View > Go to Bar...: a bar and a beat in it.
#pragma once

#include <QDialog>

#include <optional>

class QSpinBox;

namespace tromel::dialogs {

struct BarAndBeat {
    int bar = 1;
    int beat = 1;
};

// `goToBarDialog`, with the spin boxes `barSpin` and `beatSpin` (1 to beatsInBar).
class GoToBarDialog : public QDialog {
    Q_OBJECT

public:
    GoToBarDialog(QWidget* parent, int beatsInBar, BarAndBeat shown);

    BarAndBeat chosen() const;
    // Shows the dialog and answers what was chosen, or nothing when it was cancelled.
    static std::optional<BarAndBeat> ask(QWidget* parent, int beatsInBar, BarAndBeat shown);

    static constexpr int lastBar = 9999;

private:
    QSpinBox* m_bar = nullptr;
    QSpinBox* m_beat = nullptr;
};

}  // namespace tromel::dialogs
