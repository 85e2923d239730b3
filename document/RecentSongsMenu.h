// File > "Recent Songs": the ten songs last opened or saved, the newest first.
#pragma once

#include <QMenu>

namespace tromel {

// Refilled from the settings each time the menu that holds it opens, so every window lists the
// same songs; disabled while there are none.
class RecentSongsMenu : public QMenu {
    Q_OBJECT

public:
    // Adds itself to `fileMenu` at the end of its entries.
    explicit RecentSongsMenu(QMenu* fileMenu);

    void refresh();

signals:
    // The song chosen, to be opened as File > Open opens a song.
    void songChosen(const QString& path);
};

}  // namespace tromel
