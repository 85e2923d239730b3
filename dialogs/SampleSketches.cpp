// Small pictures of the samples, drawn from the sample bank's files.
#include "dialogs/SampleSketches.h"

#include "audio/mixer/KeyFrequency.h"
#include "audio/playback/SongCompiler.h"
#include "audio/samples/SampleShape.h"

#include <QPainter>
#include <QPainterPath>

namespace tromel::dialogs {
namespace {

constexpr QRgb sketchGround = 0xFF1F1F1F;
constexpr QRgb sketchLine = 0xFF8FE06A;
constexpr QRgb sketchAxis = 0xFF3A4A40;
constexpr int64_t longestDrumFrames = 5 * 44100;

// File key 57 sounds A 440 at its playback rate: a period is that many frames of the file.
double wavePeriodFrames() {
    return audio::keyToFrequency(57) / 440.0;
}

}  // namespace

const QImage& SampleSketches::of(bool drum, int number) {
    const auto key = std::pair{drum, number};
    auto found = m_made.find(key);
    if (found == m_made.end())
        found = m_made.emplace(key, draw(drum, number)).first;
    return found->second;
}

QImage SampleSketches::draw(bool drum, int number) const {
    QImage image(m_size, QImage::Format_RGB32);
    image.fill(sketchGround);
    QPainter painter(&image);
    const double middle = (m_size.height() - 1) / 2.0;
    painter.setPen(QColor::fromRgb(sketchAxis));
    painter.drawLine(QPointF(0, middle), QPointF(m_size.width(), middle));
    const auto frames =
        audio::readSampleFrames(m_folder / audio::sampleFileName(drum, number),
                                drum ? longestDrumFrames : static_cast<int64_t>(wavePeriodFrames()) + 2);
    painter.setPen(QColor::fromRgb(sketchLine));
    if (!frames || frames->empty()) {
        painter.drawLine(0, 0, m_size.width() - 1, m_size.height() - 1);
        painter.drawLine(0, m_size.height() - 1, m_size.width() - 1, 0);
        return image;
    }
    const int points = m_size.width();
    const std::vector<float> values =
        drum ? audio::peakEnvelope(*frames, points) : audio::firstPeriod(*frames, wavePeriodFrames(), points);
    float loudest = 0;
    for (const float value : values)
        loudest = std::max(loudest, std::abs(value));
    const double scale = loudest > 0 ? middle / loudest : 0;
    QPainterPath path;
    for (int x = 0; x < points; ++x) {
        const double y = middle - values[static_cast<std::size_t>(x)] * scale;
        if (drum)
            painter.drawLine(QPointF(x, y), QPointF(x, 2 * middle - y));
        else if (x == 0)
            path.moveTo(x, y);
        else
            path.lineTo(x, y);
    }
    if (!drum)
        painter.drawPath(path);
    return image;
}

}  // namespace tromel::dialogs
