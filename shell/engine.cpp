// STUB: replaced by the game loop engine.
#include "shell/engine.h"

#include "shell/screen.h"

CGameEngine::CGameEngine() = default;
CGameEngine::~CGameEngine() = default;
void CGameEngine::Destroy() { presenter_.reset(); }
bool CGameEngine::Create(int32_t, int32_t) { return false; }
void CGameEngine::SetExitGame(bool IsExitGame) { exitRequest_ = IsExitGame; }
void CGameEngine::GetMsg(int32_t, int32_t, int32_t) {}
void CGameEngine::StartGame() {}
int16_t CGameEngine::SetUpTimer(int32_t, int32_t) { return 0; }
void CGameEngine::DestroyTimer(int32_t) {}
float CGameEngine::GetTimerProcess(int32_t) { return -1.0f; }
int32_t CGameEngine::GetTimerCount(int32_t) const { return -1; }
CScreen* CGameEngine::Presenter() const { return presenter_.get(); }
const std::vector<TimerEntry>& CGameEngine::Timers() const { return timers_; }
