// Placeholder until the strip viewer lands.
#include "app/main_window.h"

void TfrmMain::buildStripViewer() {}
void TfrmMain::ScrollBarFormVewerChange() {}
