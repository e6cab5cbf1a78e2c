// The audio globals, apart from the mixer code: the rules read and set them without the mixer.
#include "audio/audio.h"

AudioGlobals Audio;

void ResetAudioGlobals() { Audio = AudioGlobals{}; }
