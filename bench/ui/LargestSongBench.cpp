// The editor on the largest song a file can hold (16 channels of 32,767 notes): opening it,
// listing it in the Debug window and every mouse gesture on a full channel, each with its redraw.
#include "audio/MixerAudioLayer.h"
#include "dialogs/DebugWindow.h"
#include "document/DocumentWindow.h"
#include "document/EditorContext.h"
#include "roll/RollGeometry.h"
#include "roll/ui/PianoRoll.h"
#include "roll/ui/RollRenderer.h"
#include "song/OrgFile.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace tromel;

constexpr int32_t fullChannel = 32767;

// Answers every file chooser with one path and ignores messages.
class FixedPrompts : public Prompts {
public:
    QString path;
    void message(QWidget*, MessageIcon, const QString&, const QString&) override {}
    std::optional<QString> chooseOpenFile(QWidget*, const QString&, const QString&) override { return path; }
    std::optional<QString> chooseSaveFile(QWidget*, const QString&, const QString&) override { return path; }
    std::optional<QString> chooseAudioFile(QWidget*, const QString&, const QString&) override { return {}; }
    std::optional<QString> chooseMidiFile(QWidget*, const QString&, const QString&, bool) override { return {}; }
    SaveChoice askSaveChanges(QWidget*, const QString&) override { return SaveChoice::Discard; }
    ChangedFileChoice askOverwriteChanged(QWidget*, const QString&) override { return ChangedFileChoice::Cancel; }
    bool askRestore(QWidget*, int) override { return false; }
};

// Every channel of both kinds full. Spread: a note every other step, as a long song has them.
// Stacked: positions all over the roll's first 2,304 columns and lengths up to 255, so that
// hundreds of notes lie on every visible cell, the worst a file can ask the roll to draw.
Song largestSong(bool stacked) {
    Song song;
    for (int kind = 0; kind < 2; ++kind) {
        NoteTable& table = song.notes(kind);
        table.grow(fullChannel);
        for (int ch = 0; ch < NoteTable::channelCount; ++ch) {
            for (int32_t slot = 1; slot <= fullChannel; ++slot) {
                const int32_t key = 1 + (slot * 7 + ch) % 96;
                table.at(ch, slot) =
                    stacked ? NoteRec{1 + (slot * 7919 + ch * 31) % 2304, key, 1 + (slot * 13) % 255, 6, 166}
                            : NoteRec{2 * slot - 1, key, 1, 6, 166};
            }
        }
    }
    for (int ch = 0; ch < 8; ++ch)
        song.instruments[ch].noteCount = song.drums[ch].noteCount = fullChannel;
    song.loopEnd = 2 * fullChannel;
    return song;
}

struct Editor {
    audio::MixerAudioLayer layer;
    FixedPrompts prompts;
    roll::RollPictures pictures{roll::RollPictures::builtInSpriteSheet(), QSize(1920, 1080)};
    EditorContext context{layer, pictures, prompts, {}};
    QTemporaryDir folder;
    std::array<QString, 2> songFiles;

    Editor() {
        layer.initDevice(44100);
        for (const bool stacked : {false, true}) {
            songFiles[stacked] = folder.filePath(stacked ? "stacked.org" : "spread.org");
            saveOrgFile(largestSong(stacked), QFile::encodeName(songFiles[stacked]).toStdString());
        }
    }
};

Editor& editor() {
    static Editor instance;
    return instance;
}

// A new window, the file read into it and its roll drawn: File > Open without the dialog.
void open(benchmark::State& state, bool stacked, QSize size) {
    editor().prompts.path = editor().songFiles[stacked];
    for (auto _ : state) {
        DocumentWindow document(editor().context);
        document.resize(size);
        document.show();
        benchmark::DoNotOptimize(document.clickOpen());
    }
}
BENCHMARK_CAPTURE(open, spread, false, QSize(593, 552))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(open, stacked, true, QSize(593, 552))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(open, stackedMaximized, true, QSize(1904, 1036))->Unit(benchmark::kMillisecond);

void BM_DebugListOfLargestSong(benchmark::State& state) {
    const Song song = largestSong(false);
    dialogs::DebugWindow window;
    window.show();
    for (auto _ : state) {
        window.fill(song.instrumentNotes);
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.grab());
    }
}
BENCHMARK(BM_DebugListOfLargestSong)->Unit(benchmark::kMillisecond);

void send(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// The note layer alone (drawNotes), or the static layer and the notes over it (drawRoll), on the
// largest song in a maximized window, at a zoom; zoomed with the song's grid and the loop shown.
void drawLargest(benchmark::State& state, bool stacked, bool wholeRoll, int zoomX, int zoomY) {
    roll::RollPictures pictures{roll::RollPictures::builtInSpriteSheet(), QSize(1920, 1080)};
    roll::RollRenderer renderer{pictures};
    const Song song = largestSong(stacked);
    roll::RollView view;
    view.notes = &song.instrumentNotes;
    view.playPosition = 5;
    view.scale = roll::RollScale::ofZoom(zoomX, zoomY);
    if (!view.scale.isWritten()) {
        view.meter = roll::GridMeter{8, 24};
        view.loop = roll::LoopSpan{8, 2000};
    }
    QImage buffer{1888, 936, QImage::Format_RGB32};
    QImage picture{1888, 936, QImage::Format_RGB32};
    renderer.drawRoll(buffer, view);
    for (auto _ : state) {
        if (wholeRoll)
            renderer.drawRoll(buffer, view);
        renderer.drawNotes(picture, buffer, view);
    }
}
BENCHMARK_CAPTURE(drawLargest, drawNotesStacked, true, false, 100, 100)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(drawLargest, drawNotesStackedAt25, true, false, 25, 50)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(drawLargest, drawNotesSpreadAt25, false, false, 25, 50)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(drawLargest, drawRollStackedAt25, true, true, 25, 50)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(drawLargest, drawRollSpreadAt25, false, true, 25, 50)->Unit(benchmark::kMillisecond);

// One gesture from hover to release on the roll of a maximized window, with every redraw it asks for.
void gesture(benchmark::State& state, bool stacked, Qt::MouseButton button, QPoint from, QPoint to) {
    DocumentWindow document(editor().context);
    document.resize(1904, 1036);
    document.show();
    document.song() = largestSong(stacked);
    document.rollXScroll()->setValue(0);
    document.rollYScroll()->setValue(0);
    document.drawRoll();
    const Song original = document.song();
    QWidget* roll = document.pianoRoll();
    for (auto _ : state) {
        send(roll, QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton);
        send(roll, QEvent::MouseButtonPress, from, button, button);
        send(roll, QEvent::MouseMove, to, Qt::NoButton, button);
        send(roll, QEvent::MouseButtonRelease, to, button, Qt::NoButton);
        state.PauseTiming();
        document.song() = original;
        state.ResumeTiming();
    }
}

// Cells of the roll scrolled to its top left corner, 1888 x 936 pixels: column c, row r.
QPoint cell(int column, int row, int offset = 6) {
    return {64 + 16 * (column - 1) + offset, 12 * (row - 1) + 6};
}
constexpr int panY = 936 - 120;
constexpr int volumeY = 936 - 40;

// Spread: channel 0's first note lies in column 1, row 8, and column 2 is free. Stacked: every
// cell holds notes of several channels; the gestures work on whatever the current one has there.
#define GESTURES(name, stacked)                                                                             \
    BENCHMARK_CAPTURE(gesture, name##HoverAndAdd, stacked, Qt::LeftButton, cell(2, 8), cell(2, 8))          \
        ->Unit(benchmark::kMillisecond);                                                                    \
    BENCHMARK_CAPTURE(gesture, name##Move, stacked, Qt::LeftButton, cell(1, 8), cell(2, 20))                \
        ->Unit(benchmark::kMillisecond);                                                                    \
    BENCHMARK_CAPTURE(gesture, name##Stretch, stacked, Qt::LeftButton, cell(1, 8, 12), cell(4, 8, 12))      \
        ->Unit(benchmark::kMillisecond);                                                                    \
    BENCHMARK_CAPTURE(gesture, name##Delete, stacked, Qt::RightButton, cell(1, 8), cell(1, 8))              \
        ->Unit(benchmark::kMillisecond);                                                                    \
    BENCHMARK_CAPTURE(gesture, name##PanPaint, stacked, Qt::LeftButton, QPoint(cell(1, 1).x(), panY),       \
                      QPoint(cell(40, 1).x(), panY))                                                        \
        ->Unit(benchmark::kMillisecond);                                                                    \
    BENCHMARK_CAPTURE(gesture, name##VolumePaint, stacked, Qt::LeftButton, QPoint(cell(1, 1).x(), volumeY), \
                      QPoint(cell(40, 1).x(), volumeY))                                                     \
        ->Unit(benchmark::kMillisecond)

GESTURES(spread, false);
GESTURES(stacked, true);

}  // namespace
