// Placeholder until the file commands and the settings file land.
#include "app/main_window.h"

void TfrmMain::buildFileCommands() {}
void TfrmMain::SpeedButtonNewClick() {}
void TfrmMain::SpeedButtonLoadClick() {}
void TfrmMain::SpeedButtonSaveClick() {}
void TfrmMain::SpeedButtonSaveAsClick() {}
void TfrmMain::ReadIniNameZadvigki() {}
void TfrmMain::SaveIniNameZadvigki() {}
void TfrmMain::ReadNameFileForm() {}
void TfrmMain::SaveNameFileForm() {}
void TfrmMain::loadLastFormFile() {}
