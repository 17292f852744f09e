// kmpc --upload to several boards at once: one child process per port, each
// doing one upload, their log lines gathered and marked with the port name.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace kmpc {

// Uploads to one port in the child process, writing its log to standard
// error; returns the exit status of that upload.
using PortUpload = std::function<int(const std::string& port)>;

// "N of M boards received the program".
std::string SummaryLine(int received, int total);

// Forks one child per port (call it before any thread exists), each running
// `upload` with standard error into a pipe. Prints every complete line a
// child writes as "PORT: LINE" on `err`, in the order the lines arrive
// (lines of different ports interleave), then the summary line. Returns 0
// when every upload returned 0, 3 otherwise. SIGINT and SIGTERM, when the
// caller has blocked them, go on to every child; the summary still comes,
// and the status is then 130 or 143.
int UploadToEach(const std::vector<std::string>& ports, const PortUpload& upload, std::FILE* err);

}  // namespace kmpc
