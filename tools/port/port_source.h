// Where kmpc-port takes its port list from and which folders it watches:
// the system's serial devices, or, for tests, the entries of the folder that
// KMP_TEST_PORT_FOLDER names (each listed by its full path, no description).
#pragma once

#include "ListSerialPorts.h"

#include <QStringList>

#include <string>

namespace kmpc {

// The folder of KMP_TEST_PORT_FOLDER, or empty for the system's ports.
std::string TestPortFolder();

// The entries of `folder` (not "." and ".."), each as "FOLDER/NAME".
std::vector<kmp::SerialDeviceInfo> FolderEntries(const std::string& folder);

// The port list's source: FolderEntries of `testFolder`, or the system's.
kmp::SerialDeviceSource PortSource(const std::string& testFolder);

// The folders whose changes may change the list of PortSource(testFolder).
QStringList WatchedFolders(const std::string& testFolder);

}  // namespace kmpc
