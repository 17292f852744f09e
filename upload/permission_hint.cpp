#include "permission_hint.h"

namespace kmp {

std::string NoPermissionHint(std::string_view device, std::string_view group) {
    const std::string groupName(group);
    return "Nemáte oprávnenie otvoriť zariadenie " + std::string(device) +
           ". Na Debiane sa pridajte do skupiny " + groupName +
           ", ktorá ho vlastní (sudo usermod -aG " + groupName +
           " $USER), potom sa odhláste a znova prihláste.";
}

}  // namespace kmp
