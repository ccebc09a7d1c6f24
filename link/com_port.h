// Placeholder until the serial channel lands.
#pragma once

class ComPort
{
};
