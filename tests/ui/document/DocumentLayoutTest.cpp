// The document window's control places for a given client size.
#include "document/DocumentLayout.h"
#include "tests/ui/UiTestRegistry.h"

#include <QTest>

namespace tromel::test {
namespace {

class DocumentLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void placesFollowTheClientSize() {
        const int sw = 700;
        const int sh = 600;
        const DocumentLayout layout = layoutDocument(sw, sh);
        QCOMPARE(layout.rollXScroll, QRect(0, 0, sw - 16, 17));
        QCOMPARE(layout.rollYScroll, QRect(sw - 16, 16, 17, sh - 100));
        QCOMPARE(layout.pianoRoll, QRect(0, 16, sw - 16, sh - 100));
        QCOMPARE(layout.instLabel, QRect(8, sh - 84, 89, 17));
        QCOMPARE(layout.drumLabel, QRect(216, sh - 84, 89, 17));
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(layout.instButtons[i], QRect(8 + 24 * i, sh - 71, 25, 25));
            QCOMPARE(layout.drumButtons[i], QRect(216 + 24 * i, sh - 71, 25, 25));
            QCOMPARE(layout.muteChecks[i], QRect(14 + 24 * i, sh - 43, 17, 17));
            QCOMPARE(layout.muteChecks[8 + i], QRect(221 + 24 * i, sh - 43, 17, 17));
        }
        QCOMPARE(layout.playButton, QRect(416, sh - 71, 49, 25));
        QCOMPARE(layout.pauseButton, QRect(464, sh - 71, 49, 25));
        QCOMPARE(layout.stopButton, QRect(512, sh - 71, 49, 25));
        QCOMPARE(layout.progressBar, QRect(sw - 181, sh - 21, 161, 21));
        QCOMPARE(layout.statusBar, QRect(0, sh - 25, sw, 25));
    }
};

const bool registered = registerUiTest<DocumentLayoutTest>();

}  // namespace
}  // namespace tromel::test

#include "DocumentLayoutTest.moc"
