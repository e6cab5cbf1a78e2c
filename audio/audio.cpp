// STUB: replaced by the audio layer.
#include "audio/audio.h"

AudioGlobals Audio;
void ResetAudioGlobals() { Audio = AudioGlobals{}; }
void OpenAudioDevice() {}
void CloseAudioDevice() {}
void PlayMusic() {}
void PlaySoundEffect(int32_t) {}
AudioHandle CreateMusicStream(const std::string&) { return 0; }
void PauseMusicStream(AudioHandle) {}
void StopMusicStream(AudioHandle) {}
void SetMusicStreamVolume(AudioHandle, int32_t) {}
AudioHandle LoadSoundSample(const std::string&, int32_t) { return 0; }
