// SPDX-License-Identifier: MIT
#include "audio/audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>

#include "base/runtime.h"
#include "base/safe_file.h"

namespace {

constexpr int OutputRate = 44100;
constexpr int OutputChannels = 2;
constexpr int OutputBufferFrames = 2048;
constexpr int InitialMixerChannels = 16;

// A sound or music file as a stream for the mixer; nullptr when the file is missing, or when
// it is no regular file of a sound's size, which is told on stderr: the game plays on
// without it.
SDL_RWops* OpenSoundFile(const std::string& path) {
  std::optional<SafeFile::ReadableFile> file;
  try {
    file = SafeFile::OpenForReading(path, SafeFile::kSoundLimit);
  } catch (const RuntimeError& error) {
    std::fprintf(stderr, "%s; it is not played\n", error.what());
    return nullptr;
  }
  if (!file) return nullptr;
  FILE* stdioFile = ::fdopen(file->Descriptor(), "rb");
  if (stdioFile == nullptr) return nullptr;
  file->Release();
  SDL_RWops* stream = SDL_RWFromFP(stdioFile, SDL_TRUE);
  if (stream == nullptr) std::fclose(stdioFile);
  return stream;
}

struct Stream {
  Mix_Music* music = nullptr;
  MusicState state = MusicState::Stopped;
  int32_t volume = 100;
};

struct Sample {
  Mix_Chunk* chunk = nullptr;
  int32_t maxPlaybacks = 1;
  std::vector<SamplePlayback> playbacks;  // oldest first; may hold finished ones until pruned
};

struct Mixer {
  bool open = false;
  AudioHandle lastHandle = 0;   // handles are never reused, not even across a reopen
  AudioHandle mixerStream = 0;  // the stream the mixer plays or holds paused
  std::map<AudioHandle, Stream> streams;
  std::map<AudioHandle, Sample> samples;
  uint64_t lastSerial = 0;
  std::vector<uint64_t> channelSerial;  // the playback each mixer channel was last given
};
Mixer mixer;

int ToMixerVolume(int32_t volume) {
  int32_t clamped = std::clamp(volume, 0, 100);
  return (clamped * MIX_MAX_VOLUME + 50) / 100;
}

Stream* FindStream(AudioHandle handle) {
  auto found = mixer.streams.find(handle);
  return found == mixer.streams.end() ? nullptr : &found->second;
}

Sample* FindSample(AudioHandle handle) {
  auto found = mixer.samples.find(handle);
  return found == mixer.samples.end() ? nullptr : &found->second;
}

void HaltMixerStream() {
  if (Stream* playing = FindStream(mixer.mixerStream)) playing->state = MusicState::Stopped;
  Mix_HaltMusic();
  mixer.mixerStream = 0;
}

void ReleaseStoppedStreams() {
  for (auto it = mixer.streams.begin(); it != mixer.streams.end();) {
    if (it->second.state == MusicState::Stopped && it->first != mixer.mixerStream) {
      Mix_FreeMusic(it->second.music);
      it = mixer.streams.erase(it);
    } else {
      ++it;
    }
  }
}

bool StillSounding(const SamplePlayback& playback) {
  size_t channel = static_cast<size_t>(playback.Channel);
  return channel < mixer.channelSerial.size() && mixer.channelSerial[channel] == playback.Serial &&
         Mix_Playing(playback.Channel) != 0;
}

void PruneFinished(Sample& sample) {
  std::erase_if(sample.playbacks, [](const SamplePlayback& p) { return !StillSounding(p); });
}

// A mixer channel that plays nothing, adding channels when every one is busy.
int FreeChannel() {
  int count = Mix_AllocateChannels(-1);
  for (int channel = 0; channel < count; ++channel) {
    if (Mix_Playing(channel) == 0) return channel;
  }
  Mix_AllocateChannels(count * 2);
  mixer.channelSerial.resize(static_cast<size_t>(count) * 2, 0);
  return count;
}

// The game plays on silently; the player is told why once, in SDL's words.
void ReportNoSoundDevice() { std::fprintf(stderr, "no sound device: playing without sound (%s)\n", SDL_GetError()); }

}  // namespace

void OpenAudioDevice() {
  if (mixer.open) return;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    ReportNoSoundDevice();
    return;
  }
  Mix_Init(MIX_INIT_OGG);
  if (Mix_OpenAudio(OutputRate, AUDIO_S16SYS, OutputChannels, OutputBufferFrames) != 0) {
    ReportNoSoundDevice();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return;
  }
  Mix_AllocateChannels(InitialMixerChannels);
  mixer.channelSerial.assign(InitialMixerChannels, 0);
  mixer.open = true;
}

void CloseAudioDevice() {
  if (!mixer.open) return;
  Mix_HaltMusic();
  Mix_HaltChannel(-1);
  for (auto& [handle, stream] : mixer.streams) Mix_FreeMusic(stream.music);
  for (auto& [handle, sample] : mixer.samples) Mix_FreeChunk(sample.chunk);
  mixer.streams.clear();
  mixer.samples.clear();
  mixer.channelSerial.clear();
  mixer.mixerStream = 0;
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  mixer.open = false;
}

bool AudioDeviceOpen() { return mixer.open; }

AudioHandle CreateMusicStream(const std::string& path) {
  if (!mixer.open) return 0;
  ReleaseStoppedStreams();
  SDL_RWops* file = OpenSoundFile(path);
  if (file == nullptr) return 0;
  Mix_Music* music = Mix_LoadMUS_RW(file, 1);  // closes the file when it goes, or at once on failure
  if (music == nullptr) return 0;
  AudioHandle handle = ++mixer.lastHandle;
  mixer.streams[handle] = Stream{music, MusicState::Stopped, 100};
  return handle;
}

void PlayMusicStream(AudioHandle handle) {
  Stream* stream = FindStream(handle);
  if (stream == nullptr || stream->state == MusicState::Playing) return;
  if (stream->state == MusicState::Paused) {
    Mix_ResumeMusic();
    stream->state = MusicState::Playing;
    return;
  }
  if (mixer.mixerStream != 0) HaltMixerStream();
  Mix_VolumeMusic(ToMixerVolume(stream->volume));
  if (Mix_PlayMusic(stream->music, -1) != 0) return;
  stream->state = MusicState::Playing;
  mixer.mixerStream = handle;
}

void PauseMusicStream(AudioHandle handle) {
  Stream* stream = FindStream(handle);
  if (stream == nullptr || stream->state != MusicState::Playing) return;
  Mix_PauseMusic();
  stream->state = MusicState::Paused;
}

void StopMusicStream(AudioHandle handle) {
  Stream* stream = FindStream(handle);
  if (stream == nullptr) return;
  if (mixer.mixerStream == handle) HaltMixerStream();
  stream->state = MusicState::Stopped;
}

void SetMusicStreamVolume(AudioHandle handle, int32_t volume) {
  Stream* stream = FindStream(handle);
  if (stream == nullptr) return;
  stream->volume = std::clamp(volume, 0, 100);
  if (mixer.mixerStream == handle) Mix_VolumeMusic(ToMixerVolume(stream->volume));
}

AudioHandle LoadSoundSample(const std::string& path, int32_t maxPlaybacks) {
  if (!mixer.open || maxPlaybacks < 1) return 0;
  // The file is opened and closed here: the mixer leaves it open when it cannot decode it.
  SDL_RWops* file = OpenSoundFile(path);
  if (file == nullptr) return 0;
  Mix_Chunk* chunk = Mix_LoadWAV_RW(file, 0);
  SDL_RWclose(file);
  if (chunk == nullptr) return 0;
  AudioHandle handle = ++mixer.lastHandle;
  mixer.samples[handle] = Sample{chunk, maxPlaybacks, {}};
  return handle;
}

DecodedSound DecodeSoundFile(const std::string& path) {
  DecodedSound sound;
  int rate = 0, channels = 0;
  Uint16 format = 0;
  if (!mixer.open || Mix_QuerySpec(&rate, &format, &channels) == 0 || format != AUDIO_S16SYS) return sound;
  SDL_RWops* file = OpenSoundFile(path);
  if (file == nullptr) return sound;
  Mix_Chunk* chunk = Mix_LoadWAV_RW(file, 0);
  SDL_RWclose(file);
  if (chunk == nullptr) return sound;
  const auto* samples = reinterpret_cast<const int16_t*>(chunk->abuf);
  const size_t frames = chunk->alen / sizeof(int16_t) / static_cast<size_t>(channels);
  sound.Samples.reserve(frames);
  for (size_t f = 0; f < frames; ++f) sound.Samples.push_back(samples[f * static_cast<size_t>(channels)]);
  sound.Rate = rate;
  Mix_FreeChunk(chunk);
  return sound;
}

void PlaySoundSample(AudioHandle handle, int32_t volume) {
  Sample* sample = FindSample(handle);
  if (sample == nullptr) return;
  PruneFinished(*sample);
  int channel;
  if (static_cast<int32_t>(sample->playbacks.size()) >= sample->maxPlaybacks) {
    channel = sample->playbacks.front().Channel;
    Mix_HaltChannel(channel);
    sample->playbacks.erase(sample->playbacks.begin());
  } else {
    channel = FreeChannel();
  }
  int32_t clamped = std::clamp(volume, 0, 100);
  Mix_Volume(channel, ToMixerVolume(clamped));
  if (Mix_PlayChannel(channel, sample->chunk, 0) < 0) return;
  SamplePlayback playback{++mixer.lastSerial, channel, clamped};
  mixer.channelSerial[static_cast<size_t>(channel)] = playback.Serial;
  sample->playbacks.push_back(playback);
}

MusicState MusicStreamState(AudioHandle handle) {
  const Stream* stream = FindStream(handle);
  return stream == nullptr ? MusicState::Stopped : stream->state;
}

double MusicStreamPosition(AudioHandle handle) {
  const Stream* stream = FindStream(handle);
  if (stream == nullptr || stream->state == MusicState::Stopped) return 0;
  return std::max(0.0, Mix_GetMusicPosition(stream->music));
}

int32_t MusicStreamVolume(AudioHandle handle) {
  const Stream* stream = FindStream(handle);
  return stream == nullptr ? -1 : stream->volume;
}

int32_t MixerMusicVolume() { return mixer.open ? Mix_VolumeMusic(-1) : 0; }

std::vector<SamplePlayback> SoundSamplePlaybacks(AudioHandle handle) {
  Sample* sample = FindSample(handle);
  if (sample == nullptr) return {};
  PruneFinished(*sample);
  return sample->playbacks;
}
