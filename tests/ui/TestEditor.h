// An editor for tests: a device-less audio layer, fake prompts, the built-in pictures and a main window,
// with the few gestures and look-ups the UI tests share.
#pragma once

#include "app/MainWindow.h"
#include "audio/MixerAudioLayer.h"
#include "document/DocumentWindow.h"
#include "document/EditorContext.h"
#include "roll/RollGeometry.h"
#include "roll/ui/PianoRoll.h"
#include "roll/ui/RollPictures.h"
#include "song/OrgFile.h"
#include "tests/ui/FakePrompts.h"

#include <QFile>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

namespace tromel::test {

// Counts releases so tests can see when, and how often, the program let the layer go.
class CountingAudioLayer : public audio::MixerAudioLayer {
public:
    int releases = 0;
    void release() override {
        ++releases;
        MixerAudioLayer::release();
    }
};

struct TestEditor {
    CountingAudioLayer layer;
    FakePrompts prompts;
    roll::RollPictures pictures{roll::RollPictures::builtInSpriteSheet(), QSize(1024, 768)};
    EditorContext context;
    QTemporaryDir folder;
    std::unique_ptr<MainWindow> mainWindow;  // last, so it goes first

    // Songs are read and saved through `fileSystem`.
    explicit TestEditor(files::FileSystem& fileSystem = files::systemFileSystem())
        : context{layer, pictures, prompts, TROMEL_BIN_DIR "/Processed ORG Samples", fileSystem} {
        layer.initDevice(audio::outputRate);
        mainWindow = std::make_unique<MainWindow>(context);
        mainWindow->resize(900, 700);
        mainWindow->show();
        static_cast<void>(QTest::qWaitForWindowExposed(mainWindow.get()));
    }

    // Writes a song into the test's own folder and returns its path (empty if the write failed).
    QString writeSong(const QString& name, const Song& song) {
        const QString path = folder.filePath(name);
        return saveOrgFile(song, QFile::encodeName(path).toStdString()).ok ? path : QString();
    }

    // Reads a song file of the test's folder back; a tempo of -1 says it could not be read.
    Song readSong(const QString& name) {
        Song song;
        if (!loadOrgFile(song, QFile::encodeName(folder.filePath(name)).toStdString()).ok())
            song.tempo = -1;
        return song;
    }

    // Plays the layer's clock forward by a number of output frames and returns their left channel.
    std::vector<float> capture(int frames) {
        std::vector<float> stereo(2 * static_cast<std::size_t>(frames));
        layer.renderFrames(stereo.data(), frames);
        std::vector<float> left;
        for (int i = 0; i < frames; ++i)
            left.push_back(stereo[2 * static_cast<std::size_t>(i)]);
        return left;
    }

    // A preview waits for its sample on the sample worker and is skipped when it takes too long:
    // `start` is repeated (the sample is ready by then) until something sounds, the clock played
    // forward in small steps meanwhile. False when nothing ever sounded.
    template <typename Start>
    bool startUntilHeard(Start start) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            start();
            if (QTest::qWaitFor([this] { return render(64) > 0.01f; }, 400))
                return true;
        }
        return false;
    }

    // Plays the layer's clock forward by a number of output frames and returns their peak level.
    float render(int frames) {
        std::vector<float> buffer(2 * 512);
        float peak = 0;
        for (; frames > 0; frames -= 512) {
            const int chunk = std::min(frames, 512);
            layer.renderFrames(buffer.data(), chunk);
            for (int i = 0; i < 2 * chunk; ++i)
                peak = std::max(peak, std::abs(buffer[i]));
        }
        return peak;
    }
};

// A song holding these notes in order, each as (channel, note) with channels 8 to 15 the drums,
// and the note counts a file read would give it.
inline Song songWith(std::initializer_list<std::pair<int, NoteRec>> notes, Song song = Song()) {
    for (const auto& [channel, note] : notes) {
        NoteTable& table = channel < 8 ? song.instrumentNotes : song.drumNotes;
        int16_t& count = (channel < 8 ? song.instruments[channel] : song.drums[channel - 8]).noteCount;
        table.grow(++count);
        table.at(channel % 8, count) = note;
    }
    return song;
}

// One change of the song's tempo as Song Settings makes it: a step of the window's history.
inline void setTempo(DocumentWindow* document, int tempo) {
    const SongHeader before = SongHeader::of(document->song());
    document->song().tempo = tempo;
    document->recordEdit(SongEdit::ofHeader("Song Settings", before, SongHeader::of(document->song())));
}

// The pitch of a steady tone in Hz at 44100 frames a second, from the lag of its strongest
// self-similarity between 110 and 1100 Hz; 0 for silence.
inline double pitchOf(const std::vector<float>& samples) {
    double best = 0;
    int bestLag = 0;
    for (int lag = 40; lag <= 400; ++lag) {
        double sum = 0;
        for (std::size_t i = 0; i + lag < samples.size(); ++i)
            sum += samples[i] * samples[i + static_cast<std::size_t>(lag)];
        if (sum > best) {
            best = sum;
            bestLag = lag;
        }
    }
    return bestLag == 0 ? 0.0 : 44100.0 / bestLag;
}

// A file's bytes, or none when it cannot be read.
inline QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QRgb opaque(uint32_t rgb) {
    return 0xFF000000u | rgb;
}

inline QMdiSubWindow* frameOf(DocumentWindow* document) {
    return qobject_cast<QMdiSubWindow*>(document->parentWidget());
}

// The entry with this text in a menu, or in any menu of a document.
inline QAction* menuEntry(const QWidget* menu, const QString& text) {
    const QList<QAction*> actions = menu->actions();
    const auto found = std::find_if(actions.begin(), actions.end(), [&](QAction* a) { return a->text() == text; });
    return found == actions.end() ? nullptr : *found;
}
inline QAction* menuEntry(DocumentWindow& document, const QString& text) {
    for (QMenu* menu : document.menus() + document.addedMenus())
        if (QAction* action = menuEntry(menu, text))
            return action;
    return nullptr;
}

// The middle of a cell of the roll at the window's scroll, where the pointer hits it.
inline QPoint cell(DocumentWindow& document, int32_t column, int32_t row) {
    const EditState& edit = document.editState();
    return {int(roll::columnLeftX(column, edit.viewScrollX)) + 5, int(roll::rowTopY(row, edit.viewScrollY)) + 6};
}

// The middle of a note box in the visible roll (or, from the buffer, what lies under it).
inline QRgb boxPixel(DocumentWindow& document, int32_t column, int32_t row, bool fromBuffer = false) {
    const EditState& edit = document.editState();
    const QImage& image = fromBuffer ? document.pianoRoll()->rollBuffer() : document.pianoRoll()->picture();
    return image.pixel(int(roll::noteBoxX(column, edit.viewScrollX)) + 5,
                       int(roll::noteBoxY(row, edit.viewScrollY)) + 5);
}

// A mouse event; for a move, `button` is the button held (Qt::NoButton for a hover).
inline void sendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, modifiers);
    QApplication::sendEvent(widget, &event);
}

// A press at `from` and a release at `to` on the roll, with a move between when they differ.
inline void drag(DocumentWindow& document, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* roll = document.pianoRoll();
    sendMouse(roll, QEvent::MouseMove, from, Qt::NoButton, modifiers);
    sendMouse(roll, QEvent::MouseButtonPress, from, button, modifiers);
    if (to != from)
        sendMouse(roll, QEvent::MouseMove, to, button, modifiers);
    sendMouse(roll, QEvent::MouseButtonRelease, to, button, modifiers);
}
inline void click(DocumentWindow& document, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    drag(document, at, at, button);
}

}  // namespace tromel::test
