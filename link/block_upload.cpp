#include "link/block_upload.h"

#include "core/form_store.h"
#include "core/upload_frame.h"

TBlockUpload::TBlockUpload(const FormStore &store,
                           std::function<ComPort::LineSettings()> lineSettings, QObject *parent)
    : QObject(parent), m_store(store), m_port(std::move(lineSettings))
{
}

void TBlockUpload::SpeedButtonSendBlockClick()
{
    // The frame alone carries 0xFE for 0xFF: the store and the form file keep
    // their full jets and the letter "я".
    m_port.Write(upload_frame::build(m_store.bank0Image()));
}
