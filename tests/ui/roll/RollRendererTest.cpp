// Pixel checks of the roll's two layers at the coordinates the geometry gives.
#include "roll/RollGeometry.h"
#include "roll/ui/RollRenderer.h"
#include "roll/ui/SpriteLayout.h"
#include "tests/ui/UiTestRegistry.h"

#include <QElapsedTimer>
#include <QTest>

#include <limits>

namespace tromel::test {
namespace {

namespace sprite = roll::sprite;

QRgb opaque(uint32_t rgb) {
    return 0xFF000000u | rgb;
}

class RollRendererTest : public QObject {
    Q_OBJECT

    QImage m_sheet = roll::RollPictures::builtInSpriteSheet().convertToFormat(QImage::Format_RGB32);
    roll::RollPictures m_pictures{m_sheet, QSize(1024, 768)};
    roll::RollRenderer m_renderer{m_pictures};
    NoteTable m_notes;
    QImage m_buffer;
    QImage m_picture;

    roll::RollView view(int32_t scrollX = 0, int32_t scrollY = 0, int32_t playPosition = 0, int current = 0) {
        roll::RollView result;
        result.notes = &m_notes;
        result.currentChannel = current;
        result.viewScrollX = scrollX;
        result.viewScrollY = scrollY;
        result.playPosition = playPosition;
        return result;
    }

    void render(const roll::RollView& v, QSize size = QSize(577, 452)) {
        m_buffer = QImage(size, QImage::Format_RGB32);
        m_buffer.fill(Qt::magenta);
        m_picture = m_buffer.copy();
        m_renderer.drawRoll(m_buffer, v);
        m_renderer.drawNotes(m_picture, m_buffer, v);
    }

    void addNote(int channel, int32_t position, int32_t key, int32_t length, int16_t pan = 6, int16_t volume = 200) {
        int32_t slot = 1;
        while (slot <= m_notes.slotBound() && !m_notes.at(channel, slot).isEmpty())
            ++slot;
        m_notes.grow(slot);
        m_notes.at(channel, slot) = NoteRec{position, key, length, pan, volume};
    }

    QImage sheetRegion(const sprite::Rect& r) const { return m_sheet.copy(r.x, r.y, r.width, r.height); }

private slots:
    void init() { m_notes.reset(); }

    void unscrolledGridKeysAndDigits() {
        render(view());
        // Column 1 starts at x = 65; its grid line is content x 15, the dot on the middle row.
        QCOMPARE(m_picture.pixel(80, 5), opaque(sprite::whiteLaneLine));
        QCOMPARE(m_picture.pixel(72, 5), opaque(sprite::whiteLaneGround));
        QCOMPARE(m_picture.pixel(72, 12 + 3), opaque(sprite::blackLaneGround));
        QCOMPARE(m_picture.pixel(72, 11), opaque(sprite::rowSeparator));
        QCOMPARE(m_picture.copy(0, 0, 65, 132), m_pictures.pianoKeys().copy(0, 0, 65, 132));
        // Digit 7 on the twelfth row of the first octave, 6 on the second octave's.
        QCOMPARE(m_picture.copy(56, 132, 4, 10), sheetRegion(sprite::digit(7)));
        QCOMPARE(m_picture.copy(56, 276, 4, 10), sheetRegion(sprite::digit(6)));
        // Panel label and panel tile along the bottom.
        QCOMPARE(m_picture.copy(0, 452 - 144, 65, 144), sheetRegion(sprite::panelLabel));
        QCOMPARE(m_picture.copy(65, 452 - 144, 256, 144), sheetRegion(sprite::panelTile));
    }

    void scrollOffsetsOfExactlyOnePeriodShowTheSameGrid() {
        render(view(0, 0));
        const QImage unscrolled = m_buffer.copy(65, 0, 512, 452);
        render(view(256, 0));
        QCOMPARE(m_buffer.copy(65, 0, 512, 452), unscrolled);
        render(view(0, 144));
        QCOMPARE(m_buffer.copy(65, 0, 512, 452 - 144), unscrolled.copy(0, 0, 512, 452 - 144));
        QCOMPARE(m_buffer.copy(56, 132 - 144 + 144, 4, 10), sheetRegion(sprite::digit(6)));
    }

    void scrolledWindowOpensWithTheFirstColumnOutOfView() {
        // The opening bars (1 of 1280, 2 of 65) with a 577 x 452 roll.
        const int32_t scrollX = roll::viewScrollXFromBar(1, 1280, 577);
        const int32_t scrollY = roll::viewScrollYFromBar(2, 65, 452);
        QCOMPARE(scrollX, 28);
        QCOMPARE(scrollY, 25);
        addNote(0, 1, 1, 1);
        addNote(0, 3, 3, 1);
        render(view(scrollX, scrollY));
        // Column 1's box (x 39) is under the keyboard; row 1's box lies above the top edge.
        QCOMPARE(m_picture.copy(0, 0, 65, 452 - 144), m_buffer.copy(0, 0, 65, 452 - 144));
        // Column 3, row 3: box at x = 32 + 67 - 28 = 71, y = 24 + 1 - 25 = 0.
        QCOMPARE(m_picture.pixel(71 + 5, 5), opaque(sprite::brightNoteColours[0]));
        // Block 0's digit is at 132 - 25.
        QCOMPARE(m_picture.copy(56, 107, 4, 10), sheetRegion(sprite::digit(7)));
    }

    void noteBoxesAndBridges() {
        addNote(0, 5, 10, 3);
        render(view());
        const uint32_t main = sprite::brightNoteColours[0];
        for (int x : {131, 147, 163})
            QCOMPARE(m_picture.pixel(x + 5, 109 + 5), opaque(main));
        // The bridges at 142 and 158 fill the gaps and cover the facing box edges.
        for (int x = 142; x < 148; ++x)
            QCOMPARE(m_picture.pixel(x, 114), opaque(main));
        QCOMPARE(m_picture.pixel(131, 114), m_sheet.pixel(65, 5));  // first box keeps its light left edge
        QCOMPARE(m_picture.pixel(174, 114), m_sheet.pixel(76, 5));  // last box keeps its dark right edge
        QCOMPARE(m_picture.pixel(175, 114), m_buffer.pixel(175, 114));
        QCOMPARE(m_picture.pixel(130, 114), m_buffer.pixel(130, 114));
        QCOMPARE(m_picture.pixel(140, 108), m_buffer.pixel(140, 108));  // one free pixel above the box
    }

    void currentChannelBrightWithMarksOthersDarkWithout() {
        addNote(0, 2, 5, 1, 0, 248);   // current: pan 0, volume 248
        addNote(3, 10, 5, 1, 12, 0);   // another channel of the kind
        addNote(0, 20, 6, 1, 6, 255);  // current without a volume of its own
        render(view(0, 0, 0, 0));
        const int height = 452;
        QCOMPARE(m_picture.pixel(83 + 5, 49 + 5), opaque(sprite::brightNoteColours[0]));
        QCOMPARE(m_picture.pixel(211 + 5, 49 + 5), opaque(sprite::darkNoteColours[3]));
        const QImage mark = sheetRegion(sprite::mark);
        QCOMPARE(m_picture.copy(83, height - 141, 16, 5), mark);
        QCOMPARE(m_picture.copy(83, height - 70, 16, 5), mark);
        // No marks for the other channel's note.
        QCOMPARE(m_picture.copy(211, height - 144, 16, 144), m_buffer.copy(211, height - 144, 16, 144));
        // Pan mark but no volume mark for volume 255.
        const int x = 16 * 19 + 67;
        QCOMPARE(m_picture.copy(x, height - 141 + 30, 16, 5), mark);
        QCOMPARE(m_picture.copy(x, height - 72, 16, 72), m_buffer.copy(x, height - 72, 16, 72));
        // Volume 0 puts its mark at the bottom of the volume area.
        render(view(0, 0, 0, 3));
        QCOMPARE(m_picture.copy(211, height - 8, 16, 5), mark);
        QCOMPARE(m_picture.copy(211, height - 141 + 60, 16, 5), mark);
        QCOMPARE(m_picture.pixel(211 + 5, 49 + 5), opaque(sprite::brightNoteColours[3]));
        QCOMPARE(m_picture.pixel(83 + 5, 49 + 5), opaque(sprite::darkNoteColours[0]));
    }

    void laterChannelsCoverEarlierOnes() {
        addNote(5, 4, 4, 1);
        addNote(2, 4, 4, 1);
        render(view(0, 0, 0, 5));
        QCOMPARE(m_picture.pixel(115 + 5, 37 + 5), opaque(sprite::brightNoteColours[5]));
    }

    void notesReachingIntoThePanelAreNotDrawn() {
        const int height = 452;
        // Row 25: 12 * 25 = 300 < 310 is drawn; row 26: 312 >= 310 is not.
        addNote(0, 4, 25, 1);
        addNote(1, 8, 26, 1);
        render(view(0, 0), QSize(577, height));
        QCOMPARE(m_picture.pixel(115 + 5, 289 + 5), opaque(sprite::brightNoteColours[0]));
        QCOMPARE(m_picture.pixel(179 + 5, 301 + 5), m_buffer.pixel(179 + 5, 301 + 5));
    }

    void notesLeftOfTheKeyStripAreHiddenButTheirMarksShow() {
        addNote(0, 1, 3, 1, 6, 248);
        render(view(15, 0));
        // The box at x = 52 is hidden by the key column; its marks are drawn over the panel label.
        QCOMPARE(m_picture.copy(0, 0, 65, 452 - 144), m_buffer.copy(0, 0, 65, 452 - 144));
        QCOMPARE(m_picture.copy(52, 452 - 141 + 30, 16, 5), sheetRegion(sprite::mark));
        // Scrolled one more pixel the column no longer passes the view test at all.
        render(view(16, 0));
        QCOMPARE(m_picture, m_buffer);
    }

    void cursorIsOrdIntoTheGridAndCoveredByThePanel() {
        render(view(0, 0, 0));
        const QImage withoutCursor = m_buffer.copy();
        render(view(0, 0, 3));
        const int x = 16 * 2 + 67;
        for (int y : {0, 5, 11, 200, 307}) {
            for (int dx : {0, 6, 11})
                QCOMPARE(m_buffer.pixel(x + dx, y), withoutCursor.pixel(x + dx, y) | opaque(sprite::cursorRed));
        }
        QCOMPARE(m_buffer.pixel(x + 12, 5), withoutCursor.pixel(x + 12, 5));
        QCOMPARE(m_buffer.copy(0, 452 - 144, 577, 144), withoutCursor.copy(0, 452 - 144, 577, 144));
    }

    void cursorBehindTheKeyboardOrStoppedIsNotDrawn() {
        render(view(20, 0, 0));
        const QImage withoutCursor = m_buffer.copy();
        render(view(20, 0, 2));  // 16 * 1 - 20 < 0
        QCOMPARE(m_buffer, withoutCursor);
        render(view(16, 0, 2));  // exactly at the edge: drawn
        QVERIFY(m_buffer.pixel(67, 5) != withoutCursor.pixel(67, 5));
    }

    void hugePositionsAndKeysDrawNothingAndDoNotOverflow() {
        const int32_t most = std::numeric_limits<int32_t>::max();
        addNote(0, most, 5, 255);
        addNote(1, most - 300, most, 255);
        addNote(2, 2, std::numeric_limits<int32_t>::min() + 1, 255);
        addNote(3, 3, 4, most);  // reaching to the end of time: only the visible boxes are drawn
        render(view(roll::viewScrollXFromBar(1280, 1280, 577), 0));
        render(view(0, 0));
        QCOMPARE(m_picture.pixel(99 + 5, 37 + 5), opaque(sprite::darkNoteColours[3]));
        QCOMPARE(m_picture.pixel(560, 42), opaque(sprite::darkNoteColours[3]));
    }

    void fullScreenOfNotesDrawsWellUnderAFrame() {
        const QSize size(1904, 1036);
        for (int column = 1; column <= size.width() / 16; ++column) {
            for (int row = 1; row <= (size.height() - 144) / 12; ++row)
                addNote(column % 8, column, row, 1, 6, 100);
        }
        render(view(0, 0), size);
        QElapsedTimer timer;
        timer.start();
        constexpr int runs = 40;
        for (int i = 0; i < runs; ++i)
            m_renderer.drawNotes(m_picture, m_buffer, view(0, 0));
        const double milliseconds = timer.nsecsElapsed() / 1e6 / runs;
        qInfo("drawNotes, %d notes on a %dx%d roll: %.2f ms", (size.width() / 16) * ((size.height() - 144) / 12),
              size.width(), size.height(), milliseconds);
        QVERIFY(milliseconds < 16.0);
    }
};

const bool registered = registerUiTest<RollRendererTest>();

}  // namespace
}  // namespace tromel::test

#include "RollRendererTest.moc"
