// Ogg Vorbis files through libvorbisenc and libogg, with comments for the title and the loop.
#include "exchange/OggVorbisWriter.h"

#include <vorbis/vorbisenc.h>

#include <cerrno>
#include <cstring>

namespace tromel::exchange {

struct OggVorbisWriter::Codec {
    vorbis_info info;
    vorbis_comment comments;
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state stream;
    bool analysing = false;

    Codec() {
        vorbis_info_init(&info);
        vorbis_comment_init(&comments);
    }
    ~Codec() {
        if (analysing) {
            ogg_stream_clear(&stream);
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
        }
        vorbis_comment_clear(&comments);
        vorbis_info_clear(&info);
    }
};

OggVorbisWriter::OggVorbisWriter(std::unique_ptr<AudioFileSink> sink, int quality, const AudioFileTags& tags)
    : m_codec(std::make_unique<Codec>()) {
    if (vorbis_encode_init_vbr(&m_codec->info, 2, audioFileRate, static_cast<float>(quality) / 10.0f) != 0) {
        fail("the Vorbis encoder refused quality " + std::to_string(quality));
        return;
    }
    m_sink = std::move(sink);
    if (!m_sink->isOpen()) {
        fail(m_sink->errorText());
        return;
    }
    vorbis_analysis_init(&m_codec->dsp, &m_codec->info);
    vorbis_block_init(&m_codec->dsp, &m_codec->block);
    ogg_stream_init(&m_codec->stream, serialNumber);
    m_codec->analysing = true;
    m_open = writeHeaders(tags);
}

OggVorbisWriter::~OggVorbisWriter() {
    close();
}

bool OggVorbisWriter::writeHeaders(const AudioFileTags& tags) {
    vorbis_comment_add_tag(&m_codec->comments, "TITLE", tags.title.c_str());
    vorbis_comment_add_tag(&m_codec->comments, "ENCODER", tags.software.c_str());
    if (tags.loop) {
        vorbis_comment_add_tag(&m_codec->comments, "LOOPSTART", std::to_string(tags.loop->start).c_str());
        vorbis_comment_add_tag(&m_codec->comments, "LOOPLENGTH",
                               std::to_string(tags.loop->end - tags.loop->start).c_str());
    }
    ogg_packet identification;
    ogg_packet comments;
    ogg_packet codebooks;
    vorbis_analysis_headerout(&m_codec->dsp, &m_codec->comments, &identification, &comments, &codebooks);
    ogg_stream_packetin(&m_codec->stream, &identification);
    ogg_stream_packetin(&m_codec->stream, &comments);
    ogg_stream_packetin(&m_codec->stream, &codebooks);
    // The headers end a page of their own, so the sound starts on a fresh one.
    ogg_page page;
    while (ogg_stream_flush(&m_codec->stream, &page) != 0)
        if (!writePage(page.header, page.header_len, page.body, page.body_len))
            return false;
    return true;
}

bool OggVorbisWriter::writePage(const void* header, long headerBytes, const void* body, long bodyBytes) {
    if (m_sink->write(header, static_cast<std::size_t>(headerBytes)) &&
        m_sink->write(body, static_cast<std::size_t>(bodyBytes)))
        return true;
    return fail(m_sink->errorText());
}

bool OggVorbisWriter::drain() {
    ogg_packet packet;
    ogg_page page;
    while (vorbis_analysis_blockout(&m_codec->dsp, &m_codec->block) == 1) {
        vorbis_analysis(&m_codec->block, nullptr);
        vorbis_bitrate_addblock(&m_codec->block);
        while (vorbis_bitrate_flushpacket(&m_codec->dsp, &packet) == 1) {
            ogg_stream_packetin(&m_codec->stream, &packet);
            while (ogg_stream_pageout(&m_codec->stream, &page) != 0)
                if (!writePage(page.header, page.header_len, page.body, page.body_len))
                    return false;
        }
    }
    return true;
}

bool OggVorbisWriter::write(const float* frames, int count) {
    if (!m_open)
        return false;
    float** buffer = vorbis_analysis_buffer(&m_codec->dsp, count);
    for (int n = 0; n < count; ++n) {
        buffer[0][n] = frames[2 * n];
        buffer[1][n] = frames[2 * n + 1];
    }
    vorbis_analysis_wrote(&m_codec->dsp, count);
    return drain();
}

// The end of the analysis marks the last packet, which ends the stream's last page.
bool OggVorbisWriter::close() {
    if (m_open) {
        vorbis_analysis_wrote(&m_codec->dsp, 0);
        drain();
    }
    m_open = false;
    if (m_sink && !m_sink->close())
        fail(m_sink->errorText());
    m_sink.reset();
    return m_error.empty();
}

}  // namespace tromel::exchange
