// The block upload: SpeedButtonSendBlock frames bank 0 of the form store and
// hands the frame to the serial channel, which it creates.
#include "app/guard.h"
#include "app/main_window.h"
#include "link/com_port.h"
#include "link/upload_frame.h"
#include "store/form_store.h"

#include <QToolButton>

void TfrmMain::buildBlockUpload()
{
    m_comPort = std::make_unique<ComPort>();
    guardedConnect(SpeedButtonSendBlock, &QToolButton::clicked, this,
                   [this] { SpeedButtonSendBlockClick(); });
}

void TfrmMain::SpeedButtonSendBlockClick()
{
    // The frame alone carries 0xFE for 0xFF: the store and the form file keep
    // their full jets and the letter "я".
    m_comPort->Write(upload_frame::build(FormStore::instance().bank0Image()));
}
