// The program's two sound cues, "CLICK" and "PING", played without waiting for them to finish.
#pragma once

// Starts playing the named built-in sound (case does not matter) and returns at once; a sound
// already playing is cut short. An unknown name, or no sound device, plays nothing and says
// nothing. Safe from any thread.
void PlayWaveResource(const char* name);

// Creates the player now rather than at the first sound, so that it outlives every object made
// after this call: whoever starts a thread that plays sounds calls this first.
void PrepareSoundPlayback();
