// Placeholder until the live jet gauges land.
#include "app/main_window.h"

void TfrmMain::buildLiveGauges() {}
void TfrmMain::TimerGaudeTimer(int) {}
