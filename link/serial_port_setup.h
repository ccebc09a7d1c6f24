// The line set-up on QSerialPort, shared by the editor's channel and the
// frame monitor that listens at the other end.
#pragma once

#include "link/serial_line.h"

#include <QSerialPort>

// Name, speed, 8 data bits, no parity, 1 stop bit, no flow control.
void setUpSerialPort(QSerialPort &port, const SerialLine::Settings &settings);
