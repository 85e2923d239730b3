// Fuzzes the Organya reader; whatever it accepts must survive a write and a second read.
#include "song/OrgFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tromel::Song song;
    const tromel::Song before = song;
    const tromel::LoadResult result = tromel::readOrgBytes({data, size}, song);
    if (!result.ok()) {
        // A refused file leaves the header and settings as they were and no notes.
        if (!(song == before))
            std::abort();
        return 0;
    }
    const auto bytes = tromel::writeOrgBytes(song);
    tromel::Song again;
    if (!tromel::readOrgBytes(bytes, again).ok() || tromel::writeOrgBytes(again) != bytes)
        std::abort();
    return 0;
}
