// The serial port layer: the port component, its settings, its failures,
// its event thread, the devices behind it and the list of ports.
#pragma once

#include "ComDevice.h"
#include "ComError.h"
#include "ComLink.h"
#include "ComPort.h"
#include "ComSettings.h"
#include "ComThread.h"
#include "ComTypes.h"
#include "ListSerialPorts.h"
#include "TermiosDevice.h"
#include "VirtualController.h"
