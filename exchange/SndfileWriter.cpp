// WAV (16-bit, 24-bit, 32-bit float) and MP3 files through libsndfile.
#include "exchange/SndfileWriter.h"

#include <sndfile.h>

namespace tromel::exchange {

namespace {

int sndfileFormat(AudioFormat format) {
    switch (format) {
        case AudioFormat::Wav24:
            return SF_FORMAT_WAV | SF_FORMAT_PCM_24;
        case AudioFormat::Float:
            return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
        case AudioFormat::Mp3:
            return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
        default:
            return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    }
}

}  // namespace

SndfileWriter::SndfileWriter(const std::filesystem::path& path, const AudioEncoding& encoding,
                             const AudioFileTags& tags) {
    if (encoding.format == AudioFormat::Mp3 && !canWriteMp3()) {
        fail("this system's libsndfile cannot write MP3 (it was built without LAME)");
        return;
    }
    SF_INFO info{};
    info.samplerate = audioFileRate;
    info.channels = 2;
    info.format = sndfileFormat(encoding.format);
    m_file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!m_file) {
        fail(sf_strerror(nullptr));
        return;
    }
    m_open = configure(encoding, tags);
}

// Everything here must be said before the first sample is written.
bool SndfileWriter::configure(const AudioEncoding& encoding, const AudioFileTags& tags) {
    if (encoding.format == AudioFormat::Mp3) {
        int mode = SF_BITRATE_MODE_CONSTANT;
        double level = mp3CompressionLevel(encoding.mp3Bitrate);
        // The level first: setting the mode re-reads it, and refuses while none is set.
        if (!sf_command(m_file, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level) ||
            !sf_command(m_file, SFC_SET_BITRATE_MODE, &mode, sizeof mode))
            return fail("LAME refused a constant bit rate of " + std::to_string(encoding.mp3Bitrate) + " kbit/s");
        if (sf_set_string(m_file, SF_STR_TITLE, tags.title.c_str()) != 0 ||
            sf_set_string(m_file, SF_STR_COMMENT, tags.software.c_str()) != 0)
            return fail(sf_strerror(m_file));
        return true;
    }
    sf_command(m_file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    sf_command(m_file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    if (tags.loop) {
        SF_INSTRUMENT instrument{};
        instrument.gain = 1;
        instrument.basenote = 60;
        instrument.key_hi = 127;
        instrument.velocity_hi = 127;
        instrument.loop_count = 1;
        // The smpl chunk's end is inclusive: libsndfile writes end - 1.
        instrument.loops[0] = {SF_LOOP_FORWARD, static_cast<uint32_t>(tags.loop->start),
                               static_cast<uint32_t>(tags.loop->end), 0};
        if (!sf_command(m_file, SFC_SET_INSTRUMENT, &instrument, sizeof instrument))
            return fail("the loop points could not be written");
    }
    return true;
}

SndfileWriter::~SndfileWriter() {
    close();
}

bool SndfileWriter::write(const float* frames, int count) {
    if (!m_open)
        return false;
    if (sf_writef_float(m_file, frames, count) == count)
        return true;
    return fail(sf_strerror(m_file));
}

bool SndfileWriter::close() {
    m_open = false;
    if (!m_file)
        return m_error.empty();
    const bool closed = sf_close(m_file) == 0;
    m_file = nullptr;
    if (!closed)
        fail("write failed");
    return m_error.empty();
}

}  // namespace tromel::exchange
