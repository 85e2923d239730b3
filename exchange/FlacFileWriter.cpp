// FLAC files (16-bit or 24-bit) through libFLAC, with Vorbis comments for the title and the loop.
#include "exchange/FlacFileWriter.h"

#include <FLAC/metadata.h>
#include <FLAC/stream_encoder.h>

#include <cerrno>
#include <cmath>
#include <cstring>

namespace tromel::exchange {

namespace {

constexpr unsigned compressionLevel = 5;  // libFLAC's own default: most of the gain, quickly

FLAC__StreamEncoderWriteStatus writeTo(const FLAC__StreamEncoder*, const FLAC__byte bytes[], size_t count, uint32_t,
                                       uint32_t, void* sink) {
    return static_cast<AudioFileSink*>(sink)->write(bytes, count) ? FLAC__STREAM_ENCODER_WRITE_STATUS_OK
                                                                  : FLAC__STREAM_ENCODER_WRITE_STATUS_FATAL_ERROR;
}

// With a seek, the encoder goes back at the end to complete the stream's header, as with a file.
FLAC__StreamEncoderSeekStatus seekIn(const FLAC__StreamEncoder*, FLAC__uint64 offset, void* sink) {
    return static_cast<AudioFileSink*>(sink)->seek(static_cast<int64_t>(offset))
               ? FLAC__STREAM_ENCODER_SEEK_STATUS_OK
               : FLAC__STREAM_ENCODER_SEEK_STATUS_ERROR;
}

FLAC__StreamEncoderTellStatus tellIn(const FLAC__StreamEncoder*, FLAC__uint64* offset, void* sink) {
    *offset = static_cast<FLAC__uint64>(static_cast<AudioFileSink*>(sink)->position());
    return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
}

}  // namespace

FlacFileWriter::FlacFileWriter(std::unique_ptr<AudioFileSink> sink, int bits, const AudioFileTags& tags)
    : m_bits(bits) {
    m_encoder = FLAC__stream_encoder_new();
    m_comments = FLAC__metadata_object_new(FLAC__METADATA_TYPE_VORBIS_COMMENT);
    if (!m_encoder || !m_comments) {
        fail("out of memory");
        return;
    }
    bool ok = addComment("TITLE", tags.title) && addComment("ENCODER", tags.software);
    if (tags.loop)
        ok = ok && addComment("LOOPSTART", std::to_string(tags.loop->start)) &&
             addComment("LOOPLENGTH", std::to_string(tags.loop->end - tags.loop->start));
    ok = ok && FLAC__stream_encoder_set_channels(m_encoder, 2) &&
         FLAC__stream_encoder_set_bits_per_sample(m_encoder, static_cast<unsigned>(bits)) &&
         FLAC__stream_encoder_set_sample_rate(m_encoder, audioFileRate) &&
         FLAC__stream_encoder_set_compression_level(m_encoder, compressionLevel) &&
         FLAC__stream_encoder_set_metadata(m_encoder, &m_comments, 1);
    if (!ok) {
        fail("the FLAC encoder could not be set up");
        return;
    }
    m_sink = std::move(sink);
    if (!m_sink->isOpen()) {
        fail(m_sink->errorText());
        return;
    }
    const FLAC__StreamEncoderInitStatus status =
        FLAC__stream_encoder_init_stream(m_encoder, writeTo, seekIn, tellIn, nullptr, m_sink.get());
    if (status != FLAC__STREAM_ENCODER_INIT_STATUS_OK) {
        fail(m_sink->failed() ? m_sink->errorText() : FLAC__StreamEncoderInitStatusString[status]);
        return;
    }
    m_open = true;
}

FlacFileWriter::~FlacFileWriter() {
    close();
}

bool FlacFileWriter::addComment(const char* name, const std::string& value) {
    FLAC__StreamMetadata_VorbisComment_Entry entry;
    return FLAC__metadata_object_vorbiscomment_entry_from_name_value_pair(&entry, name, value.c_str()) &&
           FLAC__metadata_object_vorbiscomment_append_comment(m_comments, entry, false);
}

bool FlacFileWriter::write(const float* frames, int count) {
    if (!m_open)
        return false;
    m_samples.resize(2 * static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < m_samples.size(); ++i) {
        const float scaled = frames[i] * 2147483648.0f;
        const int64_t value = scaled >= 2147483647.0f    ? 2147483647
                              : scaled <= -2147483648.0f ? -2147483648LL
                                                         : std::lrintf(scaled);
        m_samples[i] = static_cast<int32_t>(value >> (32 - m_bits));
    }
    if (FLAC__stream_encoder_process_interleaved(m_encoder, m_samples.data(), static_cast<unsigned>(count)))
        return true;
    return failure();
}

// What the sink met is the reason; the encoder's state only says that its client failed.
bool FlacFileWriter::failure() {
    return fail(m_sink->failed() ? m_sink->errorText()
                                 : FLAC__StreamEncoderStateString[FLAC__stream_encoder_get_state(m_encoder)]);
}

bool FlacFileWriter::close() {
    if (m_open && !FLAC__stream_encoder_finish(m_encoder))
        failure();
    m_open = false;
    release();
    if (m_sink && !m_sink->close())
        fail(m_sink->errorText());
    m_sink.reset();
    return m_error.empty();
}

void FlacFileWriter::release() {
    if (m_encoder)
        FLAC__stream_encoder_delete(m_encoder);
    if (m_comments)
        FLAC__metadata_object_delete(m_comments);
    m_encoder = nullptr;
    m_comments = nullptr;
}

}  // namespace tromel::exchange
