// The files of the songs open in the main window's documents, which no export may write over.
#include "app/OpenSongFiles.h"

#include "document/DocumentWindow.h"
#include "widgets/FilePaths.h"

namespace tromel {

std::vector<std::filesystem::path> openSongFiles(const QList<DocumentWindow*>& documents) {
    std::vector<std::filesystem::path> files;
    for (const DocumentWindow* document : documents)
        if (document->fileName() != noFileName)
            files.emplace_back(toFilesystemPath(document->fileName()));
    return files;
}

}  // namespace tromel
