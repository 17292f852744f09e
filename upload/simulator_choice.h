// The simulator choice of the programs: --simulator, or the user's switch
// KMP_SIMULATOR=1 in the environment. Each program reads it once at start
// and hands it down.
#pragma once

#include "VirtualController.h"

#include <memory>

namespace kmp {

// True when `option` (--simulator) is given or KMP_SIMULATOR is "1".
bool SimulatorChosen(bool option);

// The virtual controller that the window and kmpc offer as port "sim", set up from the
// environment so that scripts and tests can play a board that misbehaves:
//   KMP_SIMULATOR_DSR=0   the board never raises DSR
//   KMP_SIMULATOR_CTS=0   the board holds CTS off (the sending stalls with --handshake)
//   KMP_SIMULATOR_ECHO=0  the board returns nothing
// Any other value, or none, keeps the board's default (on).
std::shared_ptr<VirtualController> SimulatorBoardFromEnvironment();

}  // namespace kmp
