// STUB: replaced by the real start-up sequence.
#include "shell/startup.h"

int Mod_Main() { return 0; }
