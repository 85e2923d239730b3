// Paths between Qt's names and the core's: Qt holds a file's name as text, the core as the bytes the system takes.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <filesystem>

namespace tromel {

// QFile's own encoding both ways, so that a name that is not valid in the locale's encoding comes back as it went.
inline std::filesystem::path toFilesystemPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

inline QString fromFilesystemPath(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

}  // namespace tromel
