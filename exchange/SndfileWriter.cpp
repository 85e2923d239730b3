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

AudioFileSink& sinkOf(void* user) {
    return *static_cast<AudioFileSink*>(user);
}

// libsndfile never reads a file it writes; what the sink refuses shows as a short count.
const SF_VIRTUAL_IO sinkIo{
    [](void* user) -> sf_count_t { return sinkOf(user).length(); },
    [](sf_count_t offset, int whence, void* user) -> sf_count_t {
        AudioFileSink& sink = sinkOf(user);
        const sf_count_t from = whence == SEEK_CUR ? sink.position() : whence == SEEK_END ? sink.length() : 0;
        return sink.seek(from + offset) ? sink.position() : -1;
    },
    [](void*, sf_count_t, void*) -> sf_count_t { return 0; },
    [](const void* bytes, sf_count_t count, void* user) -> sf_count_t {
        return sinkOf(user).write(bytes, static_cast<std::size_t>(count)) ? count : 0;
    },
    [](void* user) -> sf_count_t { return sinkOf(user).position(); },
};

}  // namespace

SndfileWriter::SndfileWriter(std::unique_ptr<AudioFileSink> sink, const AudioEncoding& encoding,
                             const AudioFileTags& tags) {
    if (encoding.format == AudioFormat::Mp3 && !canWriteMp3()) {
        fail("this system's libsndfile cannot write MP3 (it was built without LAME)");
        return;
    }
    SF_INFO info{};
    info.samplerate = audioFileRate;
    info.channels = 2;
    info.format = sndfileFormat(encoding.format);
    m_sink = std::move(sink);
    if (!m_sink->isOpen()) {
        fail(m_sink->errorText());
        return;
    }
    SF_VIRTUAL_IO io = sinkIo;
    m_file = sf_open_virtual(&io, SFM_WRITE, &info, m_sink.get());
    if (!m_file) {
        fail(m_sink->failed() ? m_sink->errorText() : sf_strerror(nullptr));
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
    if (sf_writef_float(m_file, frames, count) == count && !m_sink->failed())
        return true;
    return fail(m_sink->failed() ? m_sink->errorText() : sf_strerror(m_file));
}

// The sink has the last word: the MP3 encoder closes without a word about writes that failed.
bool SndfileWriter::close() {
    m_open = false;
    if (m_file) {
        const bool closed = sf_close(m_file) == 0;
        m_file = nullptr;
        if (!closed && !m_sink->failed())
            fail("write failed");
    }
    if (m_sink && !m_sink->close())
        fail(m_sink->errorText());
    m_sink.reset();
    return m_error.empty();
}

}  // namespace tromel::exchange
