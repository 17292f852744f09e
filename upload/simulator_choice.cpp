#include "simulator_choice.h"

#include <cstdlib>
#include <cstring>

namespace kmp {
namespace {

// False only when the variable `name` is set to "0".
bool SwitchedOn(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr || std::strcmp(value, "0") != 0;
}

}  // namespace

bool SimulatorChosen(bool option) {
    const char* value = std::getenv("KMP_SIMULATOR");
    return option || (value != nullptr && std::strcmp(value, "1") == 0);
}

std::shared_ptr<VirtualController> SimulatorBoardFromEnvironment() {
    auto board = std::make_shared<VirtualController>();
    board->SetDSR(SwitchedOn("KMP_SIMULATOR_DSR"));
    board->SetCTS(SwitchedOn("KMP_SIMULATOR_CTS"));
    board->SetEcho(SwitchedOn("KMP_SIMULATOR_ECHO"));
    return board;
}

}  // namespace kmp
