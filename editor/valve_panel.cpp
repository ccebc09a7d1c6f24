// Placeholder until the valve parameters panel lands.
#include "app/main_window.h"

void TfrmMain::buildValvePanel() {}
void TfrmMain::ScrollBarTimeZadvChange(int) {}
void TfrmMain::WriteZadv() {}
