// The keyboard octave and the background grid composed at start-up.
#include "roll/ui/RollPictures.h"
#include "roll/ui/SpriteLayout.h"
#include "tests/ui/UiTestRegistry.h"

#include <QTest>

namespace tromel::test {
namespace {

namespace sprite = roll::sprite;

class RollPicturesTest : public QObject {
    Q_OBJECT

    QImage m_sheet = roll::RollPictures::builtInSpriteSheet().convertToFormat(QImage::Format_RGB32);

    bool rowMatches(const QImage& picture, int x0, int y0, const sprite::Rect& source) {
        return picture.copy(x0, y0, source.width, source.height) ==
               m_sheet.copy(source.x, source.y, source.width, source.height);
    }

private slots:
    void keysFollowTheOctavePattern() {
        const roll::RollPictures pictures(m_sheet, QSize(1024, 768));
        QCOMPARE(pictures.pianoKeys().size(), QSize(65, 144));
        const bool black[12] = {false, true, false, true, false, true, false, false, true, false, true, false};
        for (int row = 0; row < 12; ++row)
            QVERIFY(rowMatches(pictures.pianoKeys(), 0, 12 * row, black[row] ? sprite::blackKey : sprite::whiteKey));
    }

    void backgroundSizeFollowsTheScreen_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QSize>("expected");
        QTest::addColumn<int>("tiledRows");
        QTest::newRow("1024 x 768") << QSize(1024, 768) << QSize(1280, 1536) << 864;
        QTest::newRow("1280 x 1024") << QSize(1280, 1024) << QSize(1536, 2048) << 1152;
    }

    void backgroundSizeFollowsTheScreen() {
        QFETCH(QSize, screen);
        QFETCH(QSize, expected);
        QFETCH(int, tiledRows);
        const roll::RollPictures pictures(m_sheet, screen);
        const QImage& grid = pictures.pianoBG();
        QCOMPARE(grid.size(), expected);
        const int lastTileColumn = expected.width() / 256 - 1;
        // The last tile row, row 11 of its octave, is white; below it nothing is drawn.
        QVERIFY(rowMatches(grid, 256 * lastTileColumn, tiledRows - 12, sprite::whiteKeyLane));
        QVERIFY(rowMatches(grid, 256 * lastTileColumn, tiledRows - 144 + 12, sprite::blackKeyLane));
        QCOMPARE(grid.pixel(5, tiledRows), 0xFF000000u);
        QCOMPARE(grid.pixel(expected.width() - 1, expected.height() - 1), 0xFF000000u);
    }

    void backgroundGrowsForARollLargerThanTheScreen() {
        roll::RollPictures pictures(m_sheet, QSize(800, 600));
        const QSize before = pictures.pianoBG().size();
        pictures.ensureBackgroundCovers(700, 400);
        QCOMPARE(pictures.pianoBG().size(), before);
        pictures.ensureBackgroundCovers(2500, 1400);
        QVERIFY(pictures.pianoBG().width() >= 2500 + 256);
        QVERIFY(pictures.pianoBG().height() >= 1400 + 144);
        const int lastFullTileRow = (pictures.pianoBG().height() / 256) * 144 - 144;
        QVERIFY(rowMatches(pictures.pianoBG(), 0, lastFullTileRow, sprite::whiteKeyLane));
    }
};

const bool registered = registerUiTest<RollPicturesTest>();

}  // namespace
}  // namespace tromel::test

#include "RollPicturesTest.moc"
