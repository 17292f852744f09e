// The virtual controller that kmpc offers as port "sim".
#pragma once

#include "VirtualController.h"

#include <memory>

namespace kmpc {

// A virtual controller set up from the environment, so that scripts and
// tests can play a board that misbehaves:
//   KMP_SIMULATOR_DSR=0   the board never raises DSR
//   KMP_SIMULATOR_CTS=0   the board holds CTS off (the sending stalls with --handshake)
//   KMP_SIMULATOR_ECHO=0  the board returns nothing
// Any other value, or none, keeps the board's default (on).
std::shared_ptr<kmp::VirtualController> SimulatorBoardFromEnvironment();

}  // namespace kmpc
