// The dialog and windows the whole program shares: instruments and drums, the debug note list, About.
#include "dialogs/ProgramWindows.h"

namespace tromel::dialogs {
namespace {

void bringForward(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace

ProgramWindows::ProgramWindows() = default;
ProgramWindows::~ProgramWindows() = default;

void ProgramWindows::editInstrumentSettings(QWidget* documentWindow, Song& song,
                                            InstrumentSettingsDialog::Listener listen) {
    if (!m_instrumentDialog) {
        m_instrumentDialog = std::make_unique<InstrumentSettingsDialog>();
        m_instrumentDialog->setSampleFolder(m_sampleFolder);
    }
    dialogs::editInstrumentSettings(documentWindow, song, m_instrumentExchange, m_instrumentDialog, std::move(listen));
}

void ProgramWindows::showDebugNotes(const NoteTable& instrumentNotes) {
    if (!m_debugWindow)
        m_debugWindow = std::make_unique<DebugWindow>(m_owner);
    m_debugWindow->fill(instrumentNotes);
    bringForward(m_debugWindow.get());
}

void ProgramWindows::showAbout() {
    if (!m_aboutWindow)
        m_aboutWindow = std::make_unique<AboutWindow>(m_owner);
    bringForward(m_aboutWindow.get());
}

void ProgramWindows::showMouseAndKeys() {
    if (!m_mouseAndKeysWindow)
        m_mouseAndKeysWindow = std::make_unique<MouseAndKeysWindow>(m_owner);
    bringForward(m_mouseAndKeysWindow.get());
}

void ProgramWindows::closeAll() {
    m_debugWindow.reset();
    m_aboutWindow.reset();
    m_mouseAndKeysWindow.reset();
    m_instrumentDialog.reset();
}

}  // namespace tromel::dialogs
