// Draws a roll's two layers by copying rectangles out of the shared pictures.
#pragma once

#include "roll/NoteLayerPlan.h"
#include "roll/ui/GridBands.h"
#include "roll/ui/RollPictures.h"
#include "roll/ui/RollView.h"

#include <QImage>

class QPainter;

namespace tromel::roll {

class RollRenderer {
public:
    explicit RollRenderer(const RollPictures& pictures) : m_pictures(pictures) {}

    // The static layer (grid, play cursor, bottom panel, keyboard) into the buffer.
    void drawRoll(QImage& buffer, const RollView& view) const;
    // The buffer copied into the visible picture, then the notes of the current kind on top, and
    // the edit cursor over them.
    void drawNotes(QImage& picture, const QImage& buffer, const RollView& view) const;

private:
    void drawBackground(QPainter& painter, QSize size, const RollView& view) const;
    void drawCursor(QPainter& painter, QSize size, const RollView& view) const;
    void drawPanel(QPainter& painter, QSize size, const RollView& view) const;
    void drawKeyboard(QPainter& painter, QSize size, const RollView& view) const;
    void drawAdded(QPainter& painter, QSize size, const RollView& view) const;
    void drawCopies(QPainter& painter, QSize size, const std::vector<NoteCopy>& copies, RollScale scale) const;
    void drawCopy(QPainter& painter, QSize size, const NoteCopy& copy, const ScaledPictures* scaled) const;
    void copyDirectly(QImage& picture, const std::vector<NoteCopy>& copies, RollScale scale) const;
    void drawEveryRecord(QPainter& painter, QSize size, const RollView& view) const;
    void drawMarks(QPainter& painter, QSize size, const NoteRec& note, const RollView& view) const;
    void drawNoteBoxes(QPainter& painter, QSize size, const NoteRec& note, int channel, bool selected,
                       const RollView& view) const;
    void drawBand(QPainter& painter, QSize size, const CellRect& band, const RollView& view) const;
    void drawEditCursor(QPainter& painter, QSize size, const RollView& view) const;

    const RollPictures& m_pictures;
    mutable GridBands m_bands;  // a cache of what the static layer draws from
};

}  // namespace tromel::roll
