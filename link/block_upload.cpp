// Placeholder until the block upload lands.
#include "app/main_window.h"

void TfrmMain::buildBlockUpload() {}
void TfrmMain::SpeedButtonSendBlockClick() {}
