// The serial port layer: the port component, its settings, its failures,
// its event thread, the virtual controller and the list of ports. The
// devices behind the port (termios, modem watcher, hand-over) stay private
// to the layer.
#pragma once

#include "ComDevice.h"
#include "ComError.h"
#include "ComLink.h"
#include "ComPort.h"
#include "ComSettings.h"
#include "ComTypes.h"
#include "ListSerialPorts.h"
#include "PortName.h"
#include "VirtualController.h"
