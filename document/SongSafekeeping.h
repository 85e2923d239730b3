// Where a document's song is kept while its file is written in place, so that a kill half-way loses nothing.
#pragma once

#include "song/Song.h"

#include <QString>

class QObject;

namespace tromel {

class SongSafekeeping {
public:
    virtual ~SongSafekeeping() = default;

    // Keeps the song of `document` whole and flushed, where the next start after a kill offers it
    // as `caption`, bound to `fileName`. 0 or the errno value of the failure.
    virtual int keepWhileWriting(QObject* document, const Song& song, const QString& fileName,
                                 const QString& caption) = 0;
    // The document's file holds its song whole: the copy goes, unless the song was modified since.
    virtual void writtenWhole(QObject* document) = 0;
};

}  // namespace tromel
