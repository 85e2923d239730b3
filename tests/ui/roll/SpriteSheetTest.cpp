// The generated sprite sheet holds every region the roll copies from, in the given sizes and colours.
#include "roll/ui/RollPictures.h"
#include "roll/ui/SpriteLayout.h"
#include "tests/ui/UiTestRegistry.h"

#include <QColor>
#include <QTest>

namespace tromel::test {
namespace {

namespace sprite = roll::sprite;

QRgb opaque(uint32_t rgb) {
    return 0xFF000000u | rgb;
}
int brightness(QRgb colour) {
    return qRed(colour) + qGreen(colour) + qBlue(colour);
}

class SpriteSheetTest : public QObject {
    Q_OBJECT

    QImage m_sheet;

private slots:
    void initTestCase() {
        m_sheet = roll::RollPictures::builtInSpriteSheet().convertToFormat(QImage::Format_RGB32);
        QVERIFY(!m_sheet.isNull());
    }

    void sheetAndAboutPictureSizes() {
        QCOMPARE(m_sheet.size(), QSize(257, 356));
        QCOMPARE(QImage(":/images/about.png").size(), QSize(32, 32));
    }

    void noteBoxesHaveTheirMainColoursAndEdges() {
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
    }

    void digitsAreBlackOnWhite() {
        for (int value = 0; value <= 7; ++value) {
            const sprite::Rect cell = sprite::digit(value);
            int ink = 0;
            for (int y = cell.y; y < cell.y + cell.height; ++y) {
                for (int x = cell.x; x < cell.x + cell.width; ++x) {
                    const QRgb pixel = m_sheet.pixel(x, y);
                    QVERIFY(pixel == 0xFF000000u || pixel == 0xFFFFFFFFu);
                    ink += pixel == 0xFF000000u;
                }
            }
            QVERIFY2(ink >= 7, qPrintable(QString("digit %1").arg(value)));
        }
        // Different digits are different pictures.
        const QImage one = m_sheet.copy(65 + 4, 12, 4, 10);
        const QImage seven = m_sheet.copy(65 + 28, 12, 4, 10);
        QVERIFY(one != seven);
    }

    void cursorTileIsRed() {
        const sprite::Rect tile = sprite::cursorTile;
        QCOMPARE(QSize(tile.width, tile.height), QSize(12, 11));
        for (int y = tile.y; y < tile.y + tile.height; ++y) {
            for (int x = tile.x; x < tile.x + tile.width; ++x)
                QCOMPARE(m_sheet.pixel(x, y), opaque(sprite::cursorRed));
        }
    }

    void gridRows_data() {
        QTest::addColumn<int>("top");
        QTest::addColumn<uint>("ground");
        QTest::addColumn<uint>("line");
        QTest::newRow("beside a black key") << sprite::blackKeyLane.y << uint(0x1F1F1F) << uint(0x4C7159);
        QTest::newRow("beside a white key") << sprite::whiteKeyLane.y << uint(0x333333) << uint(0x7E9F77);
    }

    void gridRows() {
        QFETCH(int, top);
        QFETCH(uint, ground);
        QFETCH(uint, line);
        QCOMPARE(m_sheet.pixel(3, top + 3), opaque(ground));
        QCOMPARE(m_sheet.pixel(100, top + 11), opaque(0x222B32));
        for (int y = 0; y < 12; ++y)
            QCOMPARE(m_sheet.pixel(255, top + y), opaque(line));
        for (int k = 0; k < 16; ++k) {
            QCOMPARE(m_sheet.pixel(16 * k + 15, top + 5), opaque(line));
            QCOMPARE(m_sheet.pixel(16 * k + 8, top + 5), opaque(ground));
        }
        for (int x : {63, 127, 191}) {
            QCOMPARE(m_sheet.pixel(x, top + 1), opaque(line));
            QCOMPARE(m_sheet.pixel(x, top + 9), opaque(line));
        }
        QCOMPARE(m_sheet.pixel(47, top + 1), opaque(ground));
    }

    void keysPanelLabelAndMark() {
        QVERIFY(brightness(m_sheet.pixel(30, 5)) > brightness(m_sheet.pixel(10, 17)));  // white above black
        // The label carries words over the pan area and beside the volume area.
        auto inkIn = [this](int top, int bottom) {
            const QRgb ground = m_sheet.pixel(2, sprite::panelLabel.y + 20);
            int ink = 0;
            for (int y = top; y < bottom; ++y) {
                for (int x = 1; x < 63; ++x)
                    ink += m_sheet.pixel(x, y) != ground && brightness(m_sheet.pixel(x, y)) > 400;
            }
            return ink;
        };
        QVERIFY(inkIn(sprite::panelLabel.y + 2, sprite::panelLabel.y + 70) > 40);
        QVERIFY(inkIn(sprite::panelLabel.y + 74, sprite::panelLabel.y + 143) > 15);
        const QRgb markPixel = m_sheet.pixel(sprite::mark.x + 8, sprite::mark.y + 2);
        QVERIFY(markPixel != m_sheet.pixel(100, sprite::panelTile.y + 10));
        QVERIFY(brightness(markPixel) > 300);
    }
};

const bool registered = registerUiTest<SpriteSheetTest>();

}  // namespace
}  // namespace tromel::test

#include "SpriteSheetTest.moc"
