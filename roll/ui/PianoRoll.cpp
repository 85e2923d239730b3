// The roll widget: owns its two pictures, paints the visible one and hands mouse events to the hooks.
#include "roll/ui/PianoRoll.h"

#include "roll/RollGeometry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace tromel::roll {

PianoRoll::PianoRoll(RollPictures& pictures, QWidget* parent)
    : QWidget(parent), m_pictures(pictures), m_renderer(pictures) {
    setObjectName("pianoRoll");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // The roll keeps the keyboard focus of its window, so the window's keys (Space) work there.
    setFocusPolicy(Qt::StrongFocus);
}

void PianoRoll::drawRoll(const RollView& view) {
    if (m_rollBuffer.isNull())
        return;
    m_pictures.ensureBackgroundCovers(width(), height());
    m_renderer.drawRoll(m_rollBuffer, view);
    drawNotes(view);
}

void PianoRoll::drawNotes(const RollView& view) {
    if (m_picture.isNull() || view.notes == nullptr)
        return;
    m_renderer.drawNotes(m_picture, m_rollBuffer, view);
    update();
}

void PianoRoll::showPointer(PointerShape shape) {
    switch (shape) {
        case PointerShape::arrow:
            setCursor(Qt::ArrowCursor);
            break;
        case PointerShape::move:
            setCursor(Qt::SizeAllCursor);
            break;
        case PointerShape::resize:
            setCursor(Qt::SizeHorCursor);
            break;
    }
}

void PianoRoll::paintEvent(QPaintEvent* event) {
    if (!m_picture.isNull() && m_picture.devicePixelRatio() != devicePixelRatioF()) {
        createPictures();
        emit picturesReset();
    }
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QRect area = event->rect();
    if (m_picture.isNull()) {
        painter.fillRect(area, Qt::black);
        return;
    }
    const qreal ratio = m_picture.devicePixelRatio();
    painter.drawImage(area, m_picture, QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio));
}

void PianoRoll::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    createPictures();
}

// The owner redraws both after laying out; until then the new pictures are black.
void PianoRoll::createPictures() {
    if (size().isEmpty()) {
        m_picture = QImage();
        m_rollBuffer = QImage();
        return;
    }
    const qreal ratio = devicePixelRatioF();
    m_picture = QImage((QSizeF(size()) * ratio).toSize(), QImage::Format_RGB32);
    m_picture.setDevicePixelRatio(ratio);
    m_picture.fill(Qt::black);
    m_rollBuffer = m_picture.copy();
}

RollPointer PianoRoll::pointerOf(const QMouseEvent& event) {
    RollPointer pointer;
    pointer.x = pixelFloor(event.position().x());
    pointer.y = pixelFloor(event.position().y());
    pointer.leftHeld = event.buttons().testFlag(Qt::LeftButton);
    pointer.rightHeld = event.buttons().testFlag(Qt::RightButton);
    pointer.middleHeld = event.buttons().testFlag(Qt::MiddleButton);
    pointer.modifiers = {event.modifiers().testFlag(Qt::ShiftModifier),
                         event.modifiers().testFlag(Qt::ControlModifier), event.modifiers().testFlag(Qt::AltModifier)};
    return pointer;
}

void PianoRoll::forward(const std::function<void(const RollPointer&)>& hook, const QMouseEvent& event) {
    if (hook)
        hook(pointerOf(event));
}

void PianoRoll::mousePressEvent(QMouseEvent* event) {
    forward(m_hooks.press, *event);
}
void PianoRoll::mouseMoveEvent(QMouseEvent* event) {
    forward(m_hooks.move, *event);
    emit pointerMoved(QPoint(pixelFloor(event->position().x()), pixelFloor(event->position().y())));
}
void PianoRoll::mouseReleaseEvent(QMouseEvent* event) {
    forward(m_hooks.release, *event);
}

void PianoRoll::wheelEvent(QWheelEvent* event) {
    emit wheelTurned(event->angleDelta(), event->modifiers(), event->position());
    event->accept();
}

void PianoRoll::leaveEvent(QEvent* event) {
    emit pointerLeft();
    QWidget::leaveEvent(event);
}

}  // namespace tromel::roll
