// Plays PCM sounds through ALSA on a worker thread of its own, one at a time; a new sound cuts
// the current one short, as the handheld's asynchronous playback did.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

class CSoundPlayer {
public:
    CSoundPlayer();
    // Stops any sound and joins the worker.
    ~CSoundPlayer();
    CSoundPlayer(const CSoundPlayer&) = delete;
    CSoundPlayer& operator=(const CSoundPlayer&) = delete;

    // image must stay valid for the player's life (the built-in sounds are static). Returns at
    // once.
    void Play(const std::vector<uint8_t>* image);
    // Sounds handed to the worker so far, and how many of them reached a sound device.
    uint64_t Requested() const;
    uint64_t Played() const;

    static CSoundPlayer& Instance();

private:
    void Run();
    // True when the sound played to its end; false if the device failed or it was cut short.
    bool PlayImage(const std::vector<uint8_t>& image, uint64_t generation);
    bool Interrupted(uint64_t generation);

    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    const std::vector<uint8_t>* m_pending = nullptr;
    uint64_t m_generation = 0;
    uint64_t m_played = 0;
    bool m_stop = false;
    std::thread m_worker;
};
