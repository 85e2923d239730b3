// Puts controls at fixed pixel rectangles, the way every dialog and small window here is laid out.
#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

namespace tromel::dialogs {

template <typename Widget>
Widget* placed(Widget* widget, int left, int top, int width, int height) {
    widget->setGeometry(left, top, width, height);
    return widget;
}

inline QLabel* placedLabel(QWidget* parent, const QString& text, int left, int top, int width, int height) {
    return placed(new QLabel(text, parent), left, top, width, height);
}

// Fixed-position controls need a window of a fixed client size.
inline void setClientSize(QWidget* window, int width, int height) {
    window->setFixedSize(width, height);
}

}  // namespace tromel::dialogs
