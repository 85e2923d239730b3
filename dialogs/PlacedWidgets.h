// Puts controls at fixed pixel rectangles, the way every dialog and small window here is laid out.
#pragma once

#include <QFont>
#include <QLabel>
#include <QString>
#include <QWidget>

#include <algorithm>

namespace tromel::dialogs {

template <typename Widget>
Widget* placed(Widget* widget, int left, int top, int width, int height) {
    widget->setGeometry(left, top, width, height);
    return widget;
}

// A caption wider than its rectangle in the current font grows to the right rather than being cut off.
inline QLabel* placedLabel(QWidget* parent, const QString& text, int left, int top, int width, int height) {
    auto* label = new QLabel(text, parent);
    return placed(label, left, top, std::max(width, label->sizeHint().width()), height);
}

// Fixed-position controls need a window of a fixed client size, and a text size the pixel
// rectangles were drawn for; the desktop's usual text is too large for them. Call it before
// creating the controls so that they inherit the text size.
inline void setClientSize(QWidget* window, int width, int height) {
    window->setFixedSize(width, height);
    QFont font = window->font();
    font.setPixelSize(11);
    window->setFont(font);
}

}  // namespace tromel::dialogs
