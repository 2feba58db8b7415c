// CSoundPlayer over ALSA's simple PCM interface.
#include "platform/SoundPlayer.h"

#include <alsa/asoundlib.h>
#include <cstdarg>

#include "platform/WaveResources.h"

namespace {
constexpr unsigned kLatencyUs = 100000;
constexpr snd_pcm_uframes_t kChunkFrames = 512;

// ALSA reports a missing sound card on stderr by itself; a survey tool without speakers is
// normal, so those reports are swallowed.
void SilentAlsaErrors(const char*, int, const char*, int, const char*, ...) {}
} // namespace

CSoundPlayer::CSoundPlayer() {
    // The built-in images are built first, so they outlive the player's worker at exit.
    (void)FindWaveResource("CLICK");
    snd_lib_error_set_handler(&SilentAlsaErrors);
    m_worker = std::thread([this] { Run(); });
}

CSoundPlayer::~CSoundPlayer() {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_stop = true;
    }
    m_wake.notify_all();
    m_worker.join();
    // Releases the configuration tree ALSA caches on its first open.
    snd_config_update_free_global();
}

CSoundPlayer& CSoundPlayer::Instance() {
    static CSoundPlayer player;
    return player;
}

void CSoundPlayer::Play(const std::vector<uint8_t>* image) {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_pending = image;
        ++m_generation;
    }
    m_wake.notify_all();
}

uint64_t CSoundPlayer::Requested() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_generation;
}

uint64_t CSoundPlayer::Played() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_played;
}

bool CSoundPlayer::Interrupted(uint64_t generation) {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_stop || m_generation != generation;
}

void CSoundPlayer::Run() {
    std::unique_lock<std::mutex> hold(m_lock);
    for (;;) {
        m_wake.wait(hold, [this] { return m_stop || m_pending != nullptr; });
        if (m_stop) {
            return;
        }
        const std::vector<uint8_t>* image = m_pending;
        const uint64_t generation = m_generation;
        m_pending = nullptr;
        hold.unlock();
        const bool played = PlayImage(*image, generation);
        hold.lock();
        if (played) {
            ++m_played;
        }
    }
}

bool CSoundPlayer::PlayImage(const std::vector<uint8_t>& image, uint64_t generation) {
    WaveView wave;
    if (!ReadWave(image, wave) || wave.bitsPerSample != 8 || wave.channels == 0) {
        return false;
    }
    snd_pcm_t* pcm = nullptr;
    // Opened non-blocking so that a device held by another program fails at once instead of
    // holding the worker.
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
        return false;
    }
    bool ok = snd_pcm_nonblock(pcm, 0) == 0 &&
              snd_pcm_set_params(pcm, SND_PCM_FORMAT_U8, SND_PCM_ACCESS_RW_INTERLEAVED,
                                 wave.channels, wave.sampleRate, 1, kLatencyUs) == 0;
    const snd_pcm_uframes_t frames = wave.dataBytes / wave.channels;
    snd_pcm_uframes_t done = 0;
    while (ok && done < frames) {
        if (Interrupted(generation)) {
            snd_pcm_drop(pcm);
            ok = false;
            break;
        }
        const snd_pcm_uframes_t n = frames - done < kChunkFrames ? frames - done : kChunkFrames;
        snd_pcm_sframes_t w = snd_pcm_writei(pcm, wave.data + done * wave.channels, n);
        if (w < 0) {
            w = snd_pcm_recover(pcm, static_cast<int>(w), 1);
            ok = w >= 0;
            continue;
        }
        done += static_cast<snd_pcm_uframes_t>(w);
    }
    if (ok) {
        snd_pcm_drain(pcm);
    }
    snd_pcm_close(pcm);
    return ok;
}
