// The visible piano roll (`pianoRoll`) with its off-screen buffer (`rollBuffer`).
#pragma once

#include "roll/ui/RollMouseHooks.h"
#include "roll/ui/RollRenderer.h"

#include <QImage>
#include <QWidget>

namespace tromel::roll {

class PianoRoll : public QWidget {
    Q_OBJECT

public:
    PianoRoll(RollPictures& pictures, QWidget* parent = nullptr);

    // Full redraw: the static layer into the buffer, then the note layer.
    void drawRoll(const RollView& view);
    // Note layer only, over the static layer of the last drawRoll.
    void drawNotes(const RollView& view);

    void setMouseHooks(RollMouseHooks hooks) { m_hooks = std::move(hooks); }
    // Arrow over nothing, four-headed over a note's body, west-east over its end.
    void showPointer(PointerShape shape);

    // Both pictures hold the screen's device pixels; the roll's geometry stays in logical pixels.
    const QImage& picture() const { return m_picture; }
    const QImage& rollBuffer() const { return m_rollBuffer; }

signals:
    // A turn of the mouse wheel or a touchpad swipe over the roll (120 a notch), at a point of the roll.
    void wheelTurned(QPoint angleDelta, Qt::KeyboardModifiers modifiers, QPointF position);
    // The pointer moved over the roll (whole roll pixels), or left it.
    void pointerMoved(QPoint position);
    void pointerLeft();
    // The window moved to a screen of another pixel ratio: the pictures are new and black until
    // the owner redraws them.
    void picturesReset();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void createPictures();
    static RollPointer pointerOf(const QMouseEvent& event);
    static void forward(const std::function<void(const RollPointer&)>& hook, const QMouseEvent& event);

    RollPictures& m_pictures;
    RollRenderer m_renderer;
    QImage m_picture;
    QImage m_rollBuffer;
    RollMouseHooks m_hooks;
};

}  // namespace tromel::roll
