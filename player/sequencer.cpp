// Placeholder until the sequencer lands.
#include "app/main_window.h"

void TfrmMain::buildSequencer() {}
void TfrmMain::TimerPlayTimer() {}
void TfrmMain::SpeedButtonStartClick() {}
void TfrmMain::SpeedButtonPrevClick() {}
void TfrmMain::SpeedButtonFollowClick() {}
void TfrmMain::SpeedButtonPlayClick() {}
void TfrmMain::SpeedButtonStopClick() {}
void TfrmMain::ScrollBarDemoTimeChange() {}
