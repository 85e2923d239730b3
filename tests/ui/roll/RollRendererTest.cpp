// The roll's artwork (sprite sheet, keys, grid) and pixel checks of its two layers at the geometry's coordinates.
#include "roll/RollGeometry.h"
#include "roll/ui/GridPainter.h"
#include "roll/ui/RollRenderer.h"
#include "roll/ui/SpriteLayout.h"
#include "tests/ui/TestEditor.h"
#include "tests/ui/UiTestRegistry.h"

#include <QPainter>
#include <QTest>

#include <algorithm>
#include <functional>
#include <limits>
#include <random>

namespace tromel::test {
namespace {

namespace sprite = roll::sprite;

constexpr int height = 452;  // the roll of a new window: 577 x 452

int brightness(QRgb colour) {
    return qRed(colour) + qGreen(colour) + qBlue(colour);
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
        roll::RollView v;
        v.notes = &m_notes;
        v.currentChannel = current;
        v.viewScrollX = scrollX;
        v.viewScrollY = scrollY;
        v.playPosition = playPosition;
        return v;
    }

    void render(const roll::RollView& v, QSize size = QSize(577, height), qreal ratio = 1) {
        m_buffer = QImage(size * ratio, QImage::Format_RGB32);
        m_buffer.setDevicePixelRatio(ratio);
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

    QImage region(const sprite::Rect& r) const { return m_sheet.copy(r.x, r.y, r.width, r.height); }
    bool shows(const QImage& picture, int x, int y, const sprite::Rect& r) const {
        return picture.copy(x, y, r.width, r.height) == region(r);
    }

private slots:
    void init() { m_notes.reset(); }

    // The artwork the roll copies: note boxes in their channel's colours with light upper-left and
    // dark lower-right edges, two-colour digits, a red cursor tile, grid rows with their ground,
    // separator, bar line and dots, and piano keys in the octave's pattern.
    void theSpriteSheetHoldsTheArtworkTheRollCopies() {
        QCOMPARE(m_sheet.size(), QSize(257, 356));
        QCOMPARE(QImage(":/images/about.png").size(), QSize(32, 32));
        for (int channel = 0; channel < 8; ++channel) {
            for (bool current : {true, false}) {
                const sprite::Rect box = sprite::noteBox(channel, current);
                const uint32_t main = current ? sprite::brightNoteColours[channel] : sprite::darkNoteColours[channel];
                QCOMPARE(m_sheet.pixel(box.x + 5, box.y + 5), opaque(main));
                const int middle = brightness(opaque(main));
                QVERIFY(brightness(m_sheet.pixel(box.x, box.y + 5)) > middle);
                QVERIFY(brightness(m_sheet.pixel(box.x + 5, box.y)) > middle);
                QVERIFY(brightness(m_sheet.pixel(box.x + box.width - 1, box.y + 5)) < middle);
                QVERIFY(brightness(m_sheet.pixel(box.x + 5, box.y + box.height - 1)) < middle);
            }
        }
        for (int value = 0; value <= 7; ++value) {
            const QImage cell = region(sprite::digit(value));  // 4 x 10, rows without padding
            const auto* pixels = reinterpret_cast<const QRgb*>(cell.constBits());
            const auto ink = std::count(pixels, pixels + 40, 0xFF000000u);
            QCOMPARE(ink + std::count(pixels, pixels + 40, 0xFFFFFFFFu), 40);
            QVERIFY2(ink >= 7 && (value == 1 || cell != region(sprite::digit(1))), qPrintable(QString::number(value)));
        }
        QImage red(sprite::cursorTile.width, sprite::cursorTile.height, QImage::Format_RGB32);
        red.fill(opaque(sprite::cursorRed));
        QCOMPARE(region(sprite::cursorTile), red);
        for (const auto& [top, ground, line] : {std::tuple{sprite::blackKeyLane.y, 0x1F1F1Fu, 0x4C7159u},
                                                {sprite::whiteKeyLane.y, 0x333333u, 0x7E9F77u}}) {
            QCOMPARE(m_sheet.pixel(3, top + 3), opaque(ground));
            QCOMPARE(m_sheet.pixel(100, top + 11), opaque(0x222B32));
            QVERIFY(m_sheet.pixel(255, top) == opaque(line) && m_sheet.pixel(255, top + 11) == opaque(line));  // bar
            // A dot per column on the middle row, and beat dots above and below it.
            QVERIFY(m_sheet.pixel(16 * 6 + 15, top + 5) == opaque(line) &&
                    m_sheet.pixel(16 * 6 + 8, top + 5) == opaque(ground));
            QVERIFY(m_sheet.pixel(127, top + 1) == opaque(line) && m_sheet.pixel(127, top + 9) == opaque(line));
            QCOMPARE(m_sheet.pixel(47, top + 1), opaque(ground));
        }
        QCOMPARE(m_pictures.pianoKeys().size(), QSize(65, 144));
        const bool black[12] = {false, true, false, true, false, true, false, false, true, false, true, false};
        for (int row = 0; row < 12; ++row)
            QVERIFY(shows(m_pictures.pianoKeys(), 0, 12 * row, black[row] ? sprite::blackKey : sprite::whiteKey));
    }

    void pianoBackgroundFollowsTheScreenAndGrowsForALargerRoll() {
        for (const auto& [screen, size, tiledRows] :
             {std::tuple{QSize(1024, 768), QSize(1280, 1536), 864}, {QSize(1280, 1024), QSize(1536, 2048), 1152}}) {
            roll::RollPictures pictures(m_sheet, screen);
            const QImage& grid = pictures.pianoBG();
            QCOMPARE(grid.size(), size);
            // The last tile row, row 11 of its octave, is white; below it nothing is drawn.
            QVERIFY(shows(grid, size.width() - 256, tiledRows - 12, sprite::whiteKeyLane));
            QVERIFY(shows(grid, size.width() - 256, tiledRows - 144 + 12, sprite::blackKeyLane));
            QCOMPARE(grid.pixel(5, tiledRows), 0xFF000000u);
            QCOMPARE(grid.pixel(size.width() - 1, size.height() - 1), 0xFF000000u);

            pictures.ensureBackgroundCovers(700, 400);
            QCOMPARE(pictures.pianoBG().size(), size);
            pictures.ensureBackgroundCovers(2500, 1400);
            const QImage& grown = pictures.pianoBG();
            QVERIFY(grown.width() >= 2500 + 256 && grown.height() >= 1400 + 144);
            QVERIFY(shows(grown, 0, (grown.height() / 256) * 144 - 144, sprite::whiteKeyLane));
        }
    }

    void gridKeysDigitsAndPanelRepeatWithTheScroll() {
        render(view());
        // Column 1 starts at x = 65; its grid line is content x 15, the dot on the middle row.
        QCOMPARE(m_picture.pixel(80, 5), opaque(sprite::whiteLaneLine));
        QCOMPARE(m_picture.pixel(72, 5), opaque(sprite::whiteLaneGround));
        QCOMPARE(m_picture.pixel(72, 12 + 3), opaque(sprite::blackLaneGround));
        QCOMPARE(m_picture.pixel(72, 11), opaque(sprite::rowSeparator));
        QCOMPARE(m_picture.copy(0, 0, 65, 132), m_pictures.pianoKeys().copy(0, 0, 65, 132));
        // Digit 7 on the twelfth row of the first octave, 6 on the second octave's.
        QCOMPARE(m_picture.copy(56, 132, 4, 10), region(sprite::digit(7)));
        QCOMPARE(m_picture.copy(56, 276, 4, 10), region(sprite::digit(6)));
        QCOMPARE(m_picture.copy(0, height - 144, 65, 144), region(sprite::panelLabel));
        QCOMPARE(m_picture.copy(65, height - 144, 256, 144), region(sprite::panelTile));

        // Scrolled by exactly one bar or one octave, the grid looks the same; the digits move on.
        const QImage unscrolled = m_buffer.copy(65, 0, 512, height);
        render(view(256, 0));
        QCOMPARE(m_buffer.copy(65, 0, 512, height), unscrolled);
        render(view(0, 144));
        QCOMPARE(m_buffer.copy(65, 0, 512, height - 144), unscrolled.copy(0, 0, 512, height - 144));
        QCOMPARE(m_buffer.copy(56, 132, 4, 10), region(sprite::digit(6)));
    }

    void currentChannelBrightWithMarksOthersDarkWithout() {
        addNote(0, 2, 5, 1, 0, 248);   // current: pan 0, volume 248
        addNote(3, 10, 5, 1, 12, 0);   // another channel of the kind
        addNote(0, 20, 6, 1, 6, 255);  // current without a volume of its own
        addNote(5, 4, 4, 1);           // later channels cover earlier ones
        addNote(2, 4, 4, 1);
        render(view(0, 0, 0, 0));
        QCOMPARE(m_picture.pixel(83 + 5, 49 + 5), opaque(sprite::brightNoteColours[0]));
        QCOMPARE(m_picture.pixel(211 + 5, 49 + 5), opaque(sprite::darkNoteColours[3]));
        QCOMPARE(m_picture.pixel(115 + 5, 37 + 5), opaque(sprite::darkNoteColours[5]));
        const QImage mark = region(sprite::mark);
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

    void cursorIsOrdIntoTheGridOnlyRightOfTheKeysAndUnderThePanel() {
        render(view(0, 0, 0));
        QImage withoutCursor = m_buffer.copy();
        render(view(0, 0, 3));
        const int x = 16 * 2 + 67;
        for (int y : {0, 5, 11, 200, 307}) {
            for (int dx : {0, 6, 11})
                QCOMPARE(m_buffer.pixel(x + dx, y), withoutCursor.pixel(x + dx, y) | opaque(sprite::cursorRed));
        }
        QCOMPARE(m_buffer.pixel(x + 12, 5), withoutCursor.pixel(x + 12, 5));
        QCOMPARE(m_buffer.copy(0, height - 144, 577, 144), withoutCursor.copy(0, height - 144, 577, 144));

        render(view(20, 0, 0));
        withoutCursor = m_buffer.copy();
        render(view(20, 0, 2));  // 16 * 1 - 20 < 0: behind the keyboard, not drawn
        QCOMPARE(m_buffer, withoutCursor);
        render(view(16, 0, 2));  // exactly at the edge: drawn
        QVERIFY(m_buffer.pixel(67, 5) != withoutCursor.pixel(67, 5));
    }

    // Every record drawn in order with no shortcut, the picture the renderer must reproduce (the
    // pieces of the written size are the sheet's own, see below).
    QImage everyCopyInOrder(const roll::RollView& v) const {
        QImage picture = m_buffer.copy();
        QPainter painter(&picture);
        const int h = picture.height();
        const roll::RollScale& scale = v.scale;
        const roll::ScaledPictures& pieces = m_pictures.scaled(scale);
        for (int channel = 0; channel < 8; ++channel) {
            for (int32_t slot = 1; slot <= m_notes.slotBound(); ++slot) {
                const NoteRec& n = m_notes.at(channel, slot);
                if (!roll::isInView(n.position, n.length, picture.width(), v.viewScrollX, scale))
                    continue;
                const int x = int(roll::noteBoxX(n.position, v.viewScrollX, scale));
                const QRect mark(sprite::mark.x, sprite::mark.y, 16, 5);
                if (channel == v.currentChannel) {
                    painter.drawImage(x, int(roll::panMarkY(n.pan, h)), m_sheet, mark.x(), mark.y(), 16, 5);
                    if (n.volume != 255)
                        painter.drawImage(x, int(roll::volumeMarkY(n.volume, h)), m_sheet, mark.x(), mark.y(), 16, 5);
                }
                if (!(h - 144 >=
                      int64_t{scale.rowHeight} * (n.key - 1) + scale.boxInsetY() + scale.boxHeight() - v.viewScrollY))
                    continue;
                const auto look =
                    channel == v.currentChannel ? roll::ScaledPictures::bright : roll::ScaledPictures::dark;
                const int y = int(roll::noteBoxY(n.key, v.viewScrollY, scale));
                painter.drawImage(x, y, pieces.box(channel, look));
                for (int k = 1; k < n.length; ++k) {
                    painter.drawImage(x + scale.columnWidth * k, y, pieces.box(channel, look));
                    painter.drawImage(x + scale.columnWidth * k - scale.bridgeWidth() + 1, y,
                                      pieces.bridge(channel, look));
                }
            }
        }
        painter.drawImage(0, 0, m_buffer, 0, 0, 65, h - 144);
        return picture;
    }

    // Thousands of notes stacked on the same cells: the renderer skips the copies that later ones
    // cover, which must leave exactly the picture of drawing them all.
    void stackedNotesLookAsIfEveryCopyWereDrawn() {
        std::mt19937 random(11);
        const auto pick = [&random](int low, int high) { return std::uniform_int_distribution(low, high)(random); };
        for (int round = 0; round < 12; ++round) {
            m_notes.reset();
            const bool oddPans = round % 4 == 3;  // a pan read from a file puts its mark among the boxes
            for (int i = 0; i < 400; ++i) {
                const int key = pick(0, 20) == 0 ? noKey : pick(-2, 30);
                addNote(pick(0, 7), pick(1, 60), key, pick(1, 40), int16_t(oddPans ? pick(-60, 12) : pick(0, 12)),
                        int16_t(pick(0, 5) == 0 ? 255 : pick(0, 248)));
            }
            roll::RollView v = view(pick(0, 300), pick(-30, 120), 0, pick(0, 7));
            // Every cell size in turn (the written one twice), each drawn from its own pieces.
            v.scale = roll::RollScale::ofZoom(roll::zoomLevelsX[round % 5], roll::zoomLevelsY[(round / 2) % 5]);
            if (!v.scale.isWrittenY())
                v.viewScrollY = std::max(v.viewScrollY, 0);
            render(v, QSize(pick(300, 700), pick(200, 500)));
            QVERIFY2(m_picture == everyCopyInOrder(v), qPrintable(QString("round %1").arg(round)));
            // On a screen of twice the pixels each roll pixel becomes a block of four, not a blur.
            const QImage single = m_picture;
            render(v, single.size(), 2);
            QImage sampled = m_picture.scaled(single.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
            sampled.setDevicePixelRatio(1);
            QCOMPARE(sampled, single);
        }
    }

    // The pieces of the written size are the sheet's: the same pixels drawn either way.
    void piecesOfTheWrittenSizeAreTheSheetsOwn() {
        const roll::ScaledPictures& written = m_pictures.scaled({});
        QCOMPARE(written.keys(), m_pictures.pianoKeys());
        for (int channel = 0; channel < 8; ++channel) {
            QCOMPARE(written.box(channel, roll::ScaledPictures::bright), region(sprite::noteBox(channel, true)));
            QCOMPARE(written.box(channel, roll::ScaledPictures::dark), region(sprite::noteBox(channel, false)));
            QCOMPARE(written.bridge(channel, roll::ScaledPictures::selected), region(sprite::selectedBridge(channel)));
        }
        QCOMPARE(written.cursorTile(), region(sprite::cursorTile));
        QCOMPARE(written.digitTop(), 132);
        // The grid, panel and keys drawn piece by piece at the written grid, against the tiles.
        for (const auto& [scrollX, scrollY] : {std::pair{0, 0}, {256, 144}, {1000, 37}, {37, 300}}) {
            roll::RollView v = view(scrollX, scrollY);
            render(v);
            QImage pieces(m_buffer.size(), QImage::Format_RGB32);
            pieces.fill(Qt::magenta);
            QPainter painter(&pieces);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            roll::GridBands bands;
            const roll::GridPainter grid(written, v, pieces.size(), bands);
            grid.drawGrid(painter);
            grid.drawPanel(painter);
            grid.drawKeyboard(painter, m_sheet);
            painter.end();
            QCOMPARE(pieces.copy(65, 0, 512, height), m_buffer.copy(65, 0, 512, height));
            QCOMPARE(pieces.copy(0, 0, 65, height - 144), m_buffer.copy(0, 0, 65, height - 144));
        }
    }

    // Following a song of 3 bars of 8 steps: a beat mark every 8 columns, a bar line every 24,
    // across the rows and the panel; the loop's ends in their own colour, the columns outside it darker.
    void theSongsGridAndTheLoop() {
        roll::RollView v = view(16, 0);  // column 2 at the left edge
        const auto lineX = [&](int32_t column) { return int(roll::columnLeftX(column + 1, v.viewScrollX)) - 1; };
        render(v);
        const QImage written = m_buffer.copy();
        v.meter = roll::GridMeter{8, 24};
        render(v);
        for (const int y : {3, 7, 12 + 3}) {  // rows of no dot, between the dots, of a black key
            QVERIFY(m_buffer.pixel(lineX(24), y) == written.pixel(lineX(16), y));  // the bar line moved
            QVERIFY(m_buffer.pixel(lineX(16), y) != written.pixel(lineX(16), y));
        }
        QCOMPARE(m_buffer.pixel(lineX(8), 1), opaque(sprite::whiteLaneLine));    // a beat
        QCOMPARE(m_buffer.pixel(lineX(4), 1), opaque(sprite::whiteLaneGround));  // no longer one
        QCOMPARE(m_buffer.pixel(lineX(4), 5), opaque(sprite::whiteLaneLine));    // a column line still
        QCOMPARE(m_buffer.pixel(lineX(24), height - 100), m_sheet.pixel(255, sprite::panelTile.y + 44));
        QCOMPARE(m_buffer.pixel(lineX(16), height - 100), m_sheet.pixel(63, sprite::panelTile.y + 44));

        v.loop = roll::LoopSpan{8, 20};  // plays columns 9 to 20
        render(v);
        const QImage looped = m_buffer.copy();
        v.loop.reset();
        render(v);
        for (const int32_t edge : {8, 20}) {
            for (const int y : {5, height - 100})
                QVERIFY(looped.pixel(lineX(edge), y) == opaque(sprite::loopLine) &&
                        looped.pixel(lineX(edge) + 1, y) == opaque(sprite::loopLine));
        }
        for (const int32_t column : {3, 25}) {  // outside: darker, inside: as it was
            const int x = int(roll::columnLeftX(column, v.viewScrollX)) + 5;
            QVERIFY(brightness(looped.pixel(x, 3)) < brightness(m_buffer.pixel(x, 3)));
            QVERIFY(brightness(looped.pixel(x, height - 100)) < brightness(m_buffer.pixel(x, height - 100)));
        }
        const int inside = int(roll::columnLeftX(12, v.viewScrollX)) + 5;
        QCOMPARE(looped.copy(inside, 0, 16, height), m_buffer.copy(inside, 0, 16, height));
        QCOMPARE(looped.copy(0, 0, 65, height), m_buffer.copy(0, 0, 65, height));
    }

    // The bands a roll keeps between redraws follow every change of its columns: each drawing
    // equals a fresh renderer's.
    void keptBandsFollowTheView() {
        roll::RollView v = view();
        v.meter = roll::GridMeter{8, 24};
        v.loop = roll::LoopSpan{8, 20};
        const std::vector<std::function<void()>> changes{
            [&] { v.viewScrollX = 37; }, [&] { v.loop->end = 30; },
            [&] { v.loop->begin = 2; },  [&] { v.loop.reset(); },
            [&] { v.meter = {4, 12}; },  [&] { v.scale = {4, 6}; },
            [&] { v.viewScrollY = 50; }, [&] { v.loop = roll::LoopSpan{0, 9}; }};
        render(v);
        for (std::size_t i = 0; i < changes.size(); ++i) {
            changes[i]();
            render(v);
            const roll::RollRenderer fresh(m_pictures);
            QImage buffer(m_buffer.size(), QImage::Format_RGB32);
            fresh.drawRoll(buffer, v);
            QVERIFY2(m_buffer == buffer, qPrintable(QString("change %1").arg(i)));
        }
    }

    // Zoomed, the cells take their size and the keys their rows; the key strip, panel, marks and
    // digits keep theirs, and below a keyboard shorter than the roll the grid goes on.
    void zoomedCellsKeysAndMarks() {
        addNote(0, 5, 10, 3, 6, 248);
        roll::RollView v = view();
        v.scale = roll::RollScale::ofZoom(25, 50);
        render(v, QSize(577, 800));
        const int h = 800;
        const roll::ScaledPictures& pieces = m_pictures.scaled(v.scale);
        QCOMPARE(m_picture.copy(int(roll::noteBoxX(5, 0, v.scale)), int(roll::noteBoxY(10, 0, v.scale)), 11, 5), [&] {
            QImage note(11, 5, QImage::Format_RGB32);
            QPainter painter(&note);
            for (int k = 0; k < 3; ++k)
                painter.drawImage(4 * k, 0, pieces.box(0, roll::ScaledPictures::bright));
            for (int k = 1; k < 3; ++k)
                painter.drawImage(4 * k - 2, 0, pieces.bridge(0, roll::ScaledPictures::bright));
            return note;
        }());
        QCOMPARE(m_picture.copy(int(roll::noteBoxX(5, 0, v.scale)), h - 141 + 30, 16, 5), region(sprite::mark));
        QCOMPARE(m_picture.copy(0, 0, 56, 72), pieces.keys().copy(0, 0, 56, 72));
        QCOMPARE(m_picture.copy(56, 60, 4, 10), region(sprite::digit(7)));
        // Below the lowest key the grid goes on, its octave of rows repeated, beside the label's ground.
        const int belowKeys = 96 * 6;
        QCOMPARE(m_picture.copy(65, belowKeys, 577 - 65, h - 144 - belowKeys),
                 m_picture.copy(65, belowKeys - 72, 577 - 65, h - 144 - belowKeys));
        const QRgb labelGround = m_picture.pixel(5, h - 2);
        QCOMPARE(m_picture.pixel(30, belowKeys + 2), labelGround);
        QCOMPARE(m_picture.pixel(64, h - 145), labelGround);
        QCOMPARE(m_picture.copy(0, h - 144, 65, 144), region(sprite::panelLabel));
        // The keys keep a black key's shine and every key's lower edge at any height.
        QCOMPARE(pieces.keys().pixel(10, 6 + 1), m_sheet.pixel(10, sprite::blackKey.y + 1));
        QCOMPARE(pieces.keys().pixel(10, 5), m_sheet.pixel(10, sprite::whiteKey.y + 11));
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
};

const bool registered = registerUiTest<RollRendererTest>();

}  // namespace
}  // namespace tromel::test

#include "RollRendererTest.moc"
