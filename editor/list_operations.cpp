// Placeholder until the list operations land.
#include "app/main_window.h"

void TfrmMain::buildListOperations() {}
void TfrmMain::Copy() {}
void TfrmMain::paste() {}
void TfrmMain::SpeedButtonCopyFormClick() {}
void TfrmMain::SpeedButtonPasteFormClick() {}
void TfrmMain::SpeedButtonCutFormClick() {}
void TfrmMain::SpeedButtonInsertClick() {}
void TfrmMain::SpeedButtonDeleteFormClick() {}
void TfrmMain::SpeedButtonClearFormClick() {}
