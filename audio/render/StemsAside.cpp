// The old stems of an export, moved into a hidden folder beside them while the new ones are renamed
// over their names, so that a failure, or a kill and the next export, puts every one of them back.
#include "audio/render/StemsAside.h"

#include "files/AtomicWrite.h"

#include <cerrno>
#include <string_view>

namespace tromel::audio {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view asideMark = ".tromel-stems-aside";
constexpr std::string_view replacedMark = ".tromel-stems-replaced";
// Held while an export uses the folder; no stem is ever named so.
constexpr const char* lockName = ".lock";
// Lists, as empty files, the stems that had no old one: those a failure removes.
constexpr const char* createdName = ".created";

fs::path folderOf(const fs::path& path) {
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

fs::path markedFolder(const fs::path& output, std::string_view mark) {
    return folderOf(output) / ("." + output.filename().string() + std::string(mark));
}

bool endsWith(const std::string& name, std::string_view mark) {
    return name.size() > mark.size() + 1 && name.front() == '.' && name.ends_with(mark);
}

// Removes each name listed in `list` from `folder` too when `alsoFrom`; false when one stays.
bool removeListed(files::FileSystem& files, const fs::path& list, const fs::path* alsoFrom) {
    std::vector<std::string> names;
    if (const int error = files.listFolder(list, names))
        return error == ENOENT;
    bool whole = true;
    for (const std::string& name : names) {
        int error = alsoFrom ? files.remove(*alsoFrom / name) : 0;
        if (error == 0 || error == ENOENT)
            error = files.remove(list / name);
        whole = whole && error == 0;
    }
    return whole && files.remove(list) == 0;
}

// Empties a folder of old stems, putting each back into `folder` (and removing the new stems of
// channels that had none) or removing it, then removes it; what cannot be put back keeps the
// folder for another try.
void empty(files::FileSystem& files, const fs::path& folder, const fs::path& stems, bool putBack) {
    bool whole = removeListed(files, stems / createdName, putBack ? &folder : nullptr);
    std::vector<std::string> names;
    if (files.listFolder(stems, names) != 0)
        return;
    for (const std::string& name : names) {
        if (name == lockName || name == createdName)
            continue;
        const int error =
            putBack ? files::renameDurably(files, stems / name, folder / name) : files.remove(stems / name);
        whole = whole && error == 0;
    }
    if (whole) {
        files.remove(stems / lockName);
        files.remove(stems);
    }
    files.flushFolder(folder);
}

}  // namespace

StemsAside::StemsAside(files::FileSystem& files, const fs::path& output)
    : m_files(files), m_output(output), m_folder(folderOf(output)), m_aside(markedFolder(output, asideMark)) {}

StemsAside::~StemsAside() {
    release();
}

void StemsAside::release() {
    if (m_lock >= 0)
        m_files.close(m_lock);
    m_lock = -1;
}

int StemsAside::moveAside(const std::vector<fs::path>& stems) {
    if (const int error = m_files.makeFolder(m_aside))
        return error;
    int error = m_files.lock(m_aside / lockName, true, m_lock);
    if (error == 0)
        error = m_files.makeFolder(m_aside / createdName);
    for (std::size_t i = 0; error == 0 && i < stems.size(); ++i) {
        files::FileStatus status;
        error = m_files.status(stems[i], false, status);
        if (error == ENOENT) {
            int fd = -1;
            error = m_files.createFile(m_aside / createdName / stems[i].filename(), fd);
            if (error == 0)
                error = m_files.close(fd);
        } else if (error == 0) {
            error = files::renameDurably(m_files, stems[i], m_aside / stems[i].filename());
        }
    }
    if (error == 0)
        error = m_files.flushFolder(m_aside / createdName);
    if (error != 0)
        putBack();
    return error;
}

void StemsAside::putBack() {
    empty(m_files, m_folder, m_aside, true);
    release();
}

void StemsAside::discard() {
    const fs::path replaced = markedFolder(m_output, replacedMark);
    // Should the folder keep its name, its stems go from it: the next export must not bring them back.
    const bool renamed = files::renameDurably(m_files, m_aside, replaced) == 0;
    empty(m_files, m_folder, renamed ? replaced : m_aside, false);
    release();
}

void StemsAside::restore(files::FileSystem& files, const fs::path& folder) {
    std::vector<std::string> names;
    if (files.listFolder(folder, names) != 0)
        return;
    for (const std::string& name : names) {
        const bool aside = endsWith(name, asideMark);
        if (!aside && !endsWith(name, replacedMark))
            continue;
        files::FileStatus status;
        if (files.status(folder / name, false, status) != 0 || status.type != files::FileType::Folder ||
            !status.ownedByUser)
            continue;
        // An export under way holds its folder's lock; one that made no lock yet moved nothing.
        int lock = -1;
        const int locked = files.lock(folder / name / lockName, false, lock);
        if (locked == 0 || locked == ENOENT)
            empty(files, folder, folder / name, aside);
        if (lock >= 0)
            files.close(lock);
    }
}

}  // namespace tromel::audio
