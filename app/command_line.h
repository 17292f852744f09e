// The command line of kmp-studio.
#pragma once

#include <QString>
#include <QStringList>

namespace kmp {

struct StartOptions {
    bool simulator = false;  // --simulator: the serial layer uses the simulated board
    QString screenshotPath;  // --screenshot FILE: save a picture of the window and quit
    bool compile = false;    // --compile: compile the opened program at start
};

// Reads the options. --help and --version are answered on the terminal and
// end the process, before any window system is needed.
StartOptions ReadCommandLine(int argc, char** argv);

// The program file named on the command line, empty when none. Give it the
// window system application's arguments, from which the window system's own
// options (-platform NAME, ...) are already removed.
QString ProgramFileArgument(const QStringList& arguments);

}  // namespace kmp
