// The old stems of an export, moved into a hidden folder beside them while the new ones are renamed
// over their names, so that a failure, or a kill and the next export, puts every one of them back.
#pragma once

#include "files/FileSystem.h"

#include <filesystem>
#include <vector>

namespace tromel::audio {

class StemsAside {
public:
    // For the stems of `output` (OUT.EXT): the folder .OUT.EXT.tromel-stems-aside beside it.
    StemsAside(files::FileSystem& files, const std::filesystem::path& output);
    ~StemsAside();  // lets go of the folder's lock; whatever it holds stays for the next export

    StemsAside(const StemsAside&) = delete;
    StemsAside& operator=(const StemsAside&) = delete;

    // Makes the folder (refused when one is there already), moves into it each of `stems` that
    // exists and lists there those that do not. On a failure puts back those it moved and removes
    // the folder. 0 or the errno value.
    int moveAside(const std::vector<std::filesystem::path>& stems);
    // After a failed rename: the old stems go back over the new ones, a new stem that had no old
    // one is removed, and the folder goes.
    void putBack();
    // After the last rename: the old stems go. The folder is renamed first, so that a kill while
    // they go never brings some of them back over the new ones.
    void discard();

    // At the start of an export into `folder`: puts back the stems an export killed half-way
    // moved aside, and removes those a finished one had not removed yet. Only this user's real
    // folders of those names are touched, and none that an export under way holds.
    static void restore(files::FileSystem& files, const std::filesystem::path& folder);

private:
    void release();

    files::FileSystem& m_files;
    std::filesystem::path m_output;
    std::filesystem::path m_folder;  // where the stems are
    std::filesystem::path m_aside;
    int m_lock = -1;
};

}  // namespace tromel::audio
