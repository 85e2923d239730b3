// Small pictures of the samples: one period of each wave, the envelope of each drum.
#pragma once

#include <QImage>
#include <QSize>

#include <filesystem>
#include <map>
#include <utility>

namespace tromel::dialogs {

// Read from the sample bank on first use and kept. A sample that cannot be read gives a picture
// with a cross, so a missing file shows rather than a silent blank.
class SampleSketches {
public:
    SampleSketches(std::filesystem::path sampleFolder, QSize size) : m_folder(std::move(sampleFolder)), m_size(size) {}

    // Wave `number` (0..99) or, with `drum`, drum `number` (0..11).
    const QImage& of(bool drum, int number);

private:
    QImage draw(bool drum, int number) const;

    std::filesystem::path m_folder;
    QSize m_size;
    std::map<std::pair<bool, int>, QImage> m_made;
};

}  // namespace tromel::dialogs
