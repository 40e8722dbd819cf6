#include "scene/Hooks.h"

void HookDoNothing() {}
void HookDoNothingWithIndex(int) {}
void HookDoNothingWithFlag(bool) {}
bool HookKeyNotDown() { return false; }
void HookDropLine(const std::wstring&) {}

UiHooks g_Hooks;

void ResetHooks() { g_Hooks = UiHooks(); }
