// kmpc --list-ports --watch: the ports present, then every port that comes
// or goes, until SIGINT or SIGTERM.
#pragma once

#include "port_list.h"

#include <QStringList>

#include <cstdio>
#include <string>
#include <vector>

namespace kmpc {

// The lines between two port lists: "- NAME" for each port gone (in the
// order of `before`), then "+ NAME" (with a tab and its description when
// known) for each new one (in the order of `after`). Ports are told apart
// by name.
std::vector<std::string> PortChanges(const std::vector<ListedPort>& before,
                                     const std::vector<ListedPort>& after);

// Prints the present ports as "+" lines, then the changes on every change
// in `folders`, each line flushed at once. SIGINT or SIGTERM (blocked by
// BlockStopSignals) end it with exit status 0; no watch possible is a port
// failure on `err`. Needs a QCoreApplication.
int WatchPortList(std::FILE* out, std::FILE* err, bool withSimulator,
                  const kmp::SerialDeviceSource& source, const QStringList& folders);

}  // namespace kmpc
