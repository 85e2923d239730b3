// The files of the songs open in the main window's documents, which no export may write over.
#pragma once

#include <QList>

#include <filesystem>
#include <vector>

namespace tromel {

class DocumentWindow;

// The files of `documents` that have one.
std::vector<std::filesystem::path> openSongFiles(const QList<DocumentWindow*>& documents);

}  // namespace tromel
