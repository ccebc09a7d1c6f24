// The block upload: frames bank 0 of the form store and hands the frame to
// the serial channel, which it owns.
#pragma once

#include "link/com_port.h"

#include <QObject>

class FormStore;

class TBlockUpload : public QObject
{
    Q_OBJECT

  public:
    TBlockUpload(const FormStore &store, std::function<ComPort::LineSettings()> lineSettings,
                 QObject *parent = nullptr);

    // Raises EComPortError when the port cannot take the frame.
    void SpeedButtonSendBlockClick();
    ComPort &port() { return m_port; }

  private:
    const FormStore &m_store;
    ComPort m_port;
};
