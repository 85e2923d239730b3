// The channel that notes played in live sound on: the current channel's wave or drum, kept ready.
#pragma once

#include "audio/AudioLayer.h"

#include <filesystem>
#include <functional>
#include <memory>

namespace tromel::audio {

class SamplePreparation;

// Holds one playback channel of one sample, so that a note played live starts at once through the
// mixer's live queue, even from a thread that cannot load samples. A sample not prepared yet is
// prepared on the sample worker; until proceed() finds it ready there is no channel. Nobody polls
// for it: `prepared` runs on the sample worker once it is ready (a wake-up for the owner, who calls
// proceed() then; it must not block, and never runs after letGo() or the destructor).
// [user-interface thread]
class LiveChannel {
public:
    LiveChannel(AudioLayer& layer, std::filesystem::path sampleFolder, std::function<void()> prepared = {});
    ~LiveChannel();

    LiveChannel(const LiveChannel&) = delete;
    LiveChannel& operator=(const LiveChannel&) = delete;

    // The wave (or drum, when `drum`) number the channel plays. Another one lets the present
    // channel go (a note sounding on it fades out) and makes the new one at once when its sample
    // is prepared. Returns whether the channel changed.
    bool want(bool drum, int number);
    // No channel any more: the one there was lets go, a note sounding on it fading out.
    void letGo();
    // Makes the channel once its sample is prepared; true when it did.
    bool proceed();
    bool isWaiting() const { return m_preparation != nullptr; }
    // 0 while there is none: waiting, a drum beyond the bank, or a sample that cannot play.
    Handle channel() const { return m_channel; }
    bool drum() const { return m_drum; }

private:
    void release();
    void make();

    AudioLayer& m_layer;
    std::filesystem::path m_sampleFolder;
    std::function<void()> m_prepared;
    bool m_chosen = false;
    bool m_drum = false;
    int m_number = 0;
    SampleRequest m_request;
    std::shared_ptr<SamplePreparation> m_preparation;
    Handle m_sample = 0;
    Handle m_channel = 0;
};

}  // namespace tromel::audio
