// PlayWaveResource: the built-in sounds handed to the process-wide player.
#include "shell/PlayWaveResource.h"

#include "shell/SoundPlayer.h"
#include "shell/WaveResources.h"

void PlayWaveResource(const char* name) {
    const std::vector<uint8_t>* image = FindWaveResource(name);
    if (image != nullptr) {
        CSoundPlayer::Instance().Play(image);
    }
}

void PrepareSoundPlayback() {
    (void)CSoundPlayer::Instance();
}
