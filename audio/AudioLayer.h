// The audio layer: device set-up, samples and playback channels, as the editor calls them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace tromel::audio {

using Handle = uint32_t;  // 0 is no sample or channel; every call on handle 0 does nothing

inline constexpr uint32_t layerVersion = 0x02030001;  // high 16 bits: the interface the editor expects
inline constexpr uint32_t expectedVersionHigh = 0x0203;
inline constexpr int outputRate = 44100;  // the editor's, the command line's and every export's rate
inline constexpr int lowestRate = 22050;  // the rates a mixer may run at
inline constexpr int highestRate = 192000;
// A length given in frames at outputRate, in frames at `rate`: the same time, to the nearest frame.
inline constexpr int framesAt(int rate, int framesAtOutputRate) {
    return static_cast<int>((2 * static_cast<int64_t>(framesAtOutputRate) * rate + outputRate) / (2 * outputRate));
}
inline constexpr int largestVolume = 320;  // the maximum-volume setting the editor makes
inline constexpr int unchangedFrequency = -1;
inline constexpr int unchangedVolume = -1;
inline constexpr int unchangedPan = -101;
inline constexpr int samplesMaxPlaybacks = 50;

// Error codes reported by lastError().
enum ErrorCode : int {
    errorNone = 0,
    errorFileOpen = 2,   // the sample file is missing or cannot be read
    errorFormat = 6,     // not a PCM WAV file libsndfile can read
    errorHandle = 5,     // unknown sample or channel handle
    errorNoDevice = 23,  // no output device could be opened
    errorMemory = 1,
    errorNoChannel = 18,   // no free channel: the sample has all its playbacks, or the mixer is full
    errorNoSequencer = 8,  // no room for another step clock
    errorTooLong = 7,      // a sample longer than the editor prepares (longestSampleSeconds)
    errorUnknown = -1,
};

// The longest sample the layer prepares: a second of sound takes some tens of milliseconds and
// over ten megabytes to prepare, so longer files are refused rather than left to fill memory.
inline constexpr int longestSampleSeconds = 30;

// What an error code means, for messages that name the file it concerns.
const char* errorText(int code);

class AudioLayer;

// Now on the steady clock, in nanoseconds since its epoch: the time base of clock stamps and of
// notes played in.
int64_t steadyNanoseconds();

// The mixer's frame that was being heard at `nanoseconds` of the steady clock: the frame the
// mixer was at then, from its last buffer's stamp, less the output's latency.
int64_t heardFrameAt(const AudioLayer& layer, int64_t nanoseconds);

// A sample file as a channel uses it: instrument waves loop, drums play once.
struct SampleRequest {
    std::filesystem::path path;
    bool loop = false;
};

class SamplePreparation;
class Sequencer;
struct LiveNote;
struct SequencerCommand;

// When the mixer last began a buffer: the buffer's first frame and the steady clock then.
struct AudioClockStamp {
    int64_t frame = 0;
    int64_t nanoseconds = 0;  // steady_clock's time since its epoch; 0 before the first buffer
};

// All calls are made on the user-interface thread. Implementations hand playback changes to the
// mixer, which runs on the audio thread, without blocking.
class AudioLayer {
public:
    virtual ~AudioLayer() = default;

    virtual uint32_t version() const = 0;
    virtual void setMaxVolume(int volume) = 0;
    // Opens the default output device at the given rate; false on failure (see lastError()).
    virtual bool initDevice(int sampleRate) = 0;
    // Releases the device and every sample and channel.
    virtual void release() = 0;
    virtual int lastError() const = 0;

    // A sample from a WAV file; 0 on failure. A file not yet prepared (see prepareSamples) is
    // read and prepared there and then.
    virtual Handle loadSample(const std::filesystem::path& path, bool loop, int maxPlaybacks) = 0;
    // Starts reading and preparing sample files on a worker thread; once it has finished,
    // loadSample takes them at once. Null when every file is prepared already.
    virtual std::shared_ptr<SamplePreparation> prepareSamples(const std::vector<SampleRequest>& requests) = 0;
    // Frees a sample and the channels made from it.
    virtual void freeSample(Handle sample) = 0;
    // A new playback channel of a sample; 0 on failure.
    virtual Handle channelFromSample(Handle sample) = 0;
    virtual void setChannelLooping(Handle channel, bool loop) = 0;
    // frequency in Hz (0: the sample's own rate, -1 unchanged); volume 0..max (-1 unchanged);
    // pan -100 left .. 100 right (-101 unchanged).
    virtual void setChannelAttributes(Handle channel, int frequency, int volume, int pan) = 0;
    virtual void preBuffer(Handle channel) = 0;
    virtual void playChannel(Handle channel) = 0;  // from the start of the sample
    virtual void pauseChannel(Handle channel) = 0;
    virtual void stopChannel(Handle channel) = 0;

    // Step clocks: a sequencer is driven by the mixer on the audio thread at its own frames.
    // False, with errorNoSequencer, when the mixer has no room for another one; attaching one
    // that is attached already succeeds.
    virtual bool attachSequencer(Sequencer* sequencer) = 0;
    // The caller must keep a detached sequencer alive until the mixer's next pass; retireSequencer
    // hands it over instead, and the layer deletes it once the audio thread has let go.
    virtual void detachSequencer(Sequencer* sequencer) = 0;
    virtual void retireSequencer(std::unique_ptr<Sequencer> sequencer) = 0;
    // Delivers a command to an attached sequencer on the audio thread, in call order with every
    // other call of this interface.
    virtual void sendToSequencer(Sequencer* sequencer, const SequencerCommand& command) = 0;

    // Like freeSample, but the sample's channels finish what they are playing before they and the
    // sample are released (a looping channel must be stopped first).
    virtual void freeSampleWhenSilent(Handle sample) = 0;

    // [any thread] A note for the mixer's live queue, heard at its frame; false when the queue is
    // full. Every note played live comes this way (previews, the piano, MIDI keyboards' receiving
    // threads): its producers take turns through a lock of the layer's, which the audio thread
    // never meets.
    virtual bool postLiveNote(const LiveNote& note) = 0;
    // [any thread] The first frame the mixer has not begun yet: a live note stamped with it is
    // heard at the start of the next buffer, as soon as can be.
    virtual int64_t nextFrame() const = 0;
    // [any thread] When the mixer last began a buffer.
    virtual AudioClockStamp clockStamp() const = 0;
    // Frames from a frame leaving the mixer's timeline to its being heard: the limiter's
    // look-ahead and the device's buffer.
    virtual int outputLatencyFrames() const = 0;
    // The mixer's rate in frames a second: every frame count of this interface is in its frames.
    virtual int sampleRate() const { return outputRate; }

    // Commands that found the mixer's queue full wait in the layer; this posts what now fits
    // and frees what the audio thread has let go of. Call it from a timer, so they do not wait
    // for the next user action. True while some still wait.
    virtual bool flushPending() = 0;
};

}  // namespace tromel::audio
