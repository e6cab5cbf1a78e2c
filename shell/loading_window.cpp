// STUB: replaced by the loading window.
#include "shell/loading_window.h"

static int64_t g_steps = 0;
void Frm_Loading::Load() {}
void Frm_Loading::Show() {}
void Frm_Loading::Unload() {}
void Frm_Loading::mAddlife() { ++g_steps; }
int32_t Frm_Loading::StripWidth() { return 0; }
int64_t Frm_Loading::StepCount() { return g_steps; }
void Frm_Loading::ResetStepCount() { g_steps = 0; }
