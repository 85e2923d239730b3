// File > "Recent Songs", filled from the settings.
#include "document/RecentSongsMenu.h"

#include "widgets/ProgramSettings.h"

#include <QDir>
#include <QFileInfo>

namespace tromel {

RecentSongsMenu::RecentSongsMenu(QMenu* fileMenu) : QMenu("Recent Songs", fileMenu) {
    setObjectName("menuRecentSongs");
    setToolTipsVisible(true);
    fileMenu->addMenu(this);
    connect(fileMenu, &QMenu::aboutToShow, this, &RecentSongsMenu::refresh);
    refresh();
}

// Each entry names the file, and its folder too where another entry has the same name; the
// tooltip is the whole path. The first nine get a number key.
void RecentSongsMenu::refresh() {
    clear();
    const QStringList songs = settings::recentSongs();
    QStringList names;
    for (const QString& path : songs)
        names << QFileInfo(path).fileName();
    for (int i = 0; i < songs.size(); ++i) {
        const QString& path = songs[i];
        const QString number = i < 9 ? QString("&%1 ").arg(i + 1) : QString("1&0 ");
        QString shown = names[i];
        if (names.count(names[i]) > 1)
            shown += QString(" (%1)").arg(QDir::toNativeSeparators(QFileInfo(path).path()));
        QAction* entry = addAction(number + shown.replace('&', "&&"));
        entry->setToolTip(QDir::toNativeSeparators(path));
        connect(entry, &QAction::triggered, this, [this, path] { emit songChosen(path); });
    }
    menuAction()->setEnabled(!songs.isEmpty());
}

}  // namespace tromel
