// The dialog and windows the whole program shares: instruments and drums, the debug note list, About.
#pragma once

#include "dialogs/AboutWindow.h"
#include "dialogs/DebugWindow.h"
#include "dialogs/InstrumentSettingsDialog.h"
#include "dialogs/MouseAndKeysWindow.h"
#include "song/Song.h"

#include <filesystem>
#include <memory>

class QWidget;

namespace tromel::dialogs {

// The main window owns the one instance and lends it to its document windows. Each window is
// created on first use with the owner as its parent, so it stays in front of the main window,
// never keeps the program running on its own, and goes when the instance does.
class ProgramWindows {
public:
    ProgramWindows();
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    // The window the debug list and About stand in front of; none until set.
    void setOwner(QWidget* owner) { m_owner = owner; }
    // Where the instrument and drum dialog reads its pictures of the samples.
    void setSampleFolder(std::filesystem::path folder) { m_sampleFolder = std::move(folder); }

    // The "Instrument/Drum Settings" entry of `documentWindow`, whose song is `song`; its Listen
    // buttons call `listen`.
    void editInstrumentSettings(QWidget* documentWindow, Song& song, InstrumentSettingsDialog::Listener listen = {});
    // The "Debug" entry of a document window: lists that window's instrument notes, not modal.
    void showDebugNotes(const NoteTable& instrumentNotes);
    // The "About" entry of the main window and of every document window.
    void showAbout();
    // The "Mouse and Keys" entry of the main window and of every document window.
    void showMouseAndKeys();

    // Shut-down: the debug note list, then About and Mouse and Keys, then the instrument and drum dialog go; any
    // later use creates them afresh.
    void closeAll();

    InstrumentSettingsDialog* instrumentDialog() const { return m_instrumentDialog.get(); }
    DebugWindow* debugWindow() const { return m_debugWindow.get(); }
    AboutWindow* aboutWindow() const { return m_aboutWindow.get(); }
    MouseAndKeysWindow* mouseAndKeysWindow() const { return m_mouseAndKeysWindow.get(); }

private:
    QWidget* m_owner = nullptr;
    std::filesystem::path m_sampleFolder;
    InstrumentSettingsExchange m_instrumentExchange;
    std::unique_ptr<InstrumentSettingsDialog> m_instrumentDialog;
    std::unique_ptr<DebugWindow> m_debugWindow;
    std::unique_ptr<AboutWindow> m_aboutWindow;
    std::unique_ptr<MouseAndKeysWindow> m_mouseAndKeysWindow;
};

}  // namespace tromel::dialogs
