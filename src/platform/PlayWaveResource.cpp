// PlayWaveResource: the built-in sounds handed to the process-wide player.
#include "platform/PlayWaveResource.h"

#include "platform/SoundPlayer.h"
#include "platform/WaveResources.h"

void PlayWaveResource(const char* name) {
    const std::vector<uint8_t>* image = FindWaveResource(name);
    if (image != nullptr) {
        CSoundPlayer::Instance().Play(image);
    }
}

void PrepareSoundPlayback() {
    (void)CSoundPlayer::Instance();
}
