// Test helper: starts the catalogue lookup as the programs do, then prints
// the message of `Open` on the port named by the argument, the message of an
// exception without a system error, and the 23 texts of ComErrorMessages.
#include <QCoreApplication>
#include <cstdio>

#include "CPort.h"
#include "i18n.h"

int main(int argc, char** argv) {
    kmp::i18n::Init();
    QCoreApplication app(argc, argv);
    if (argc != 2) return 2;
    kmp::TComPort port;
    port.SetPort(argv[1]);
    try {
        port.Open();
        std::printf("opened\n");
    } catch (const kmp::EComPort& e) {
        std::printf("%s\n", e.what());
    }
    std::printf("%s\n", kmp::EComPort(kmp::CError_ConnChangeProp).what());
    for (const std::string& text : kmp::ComErrorMessages()) std::printf("%s\n", text.c_str());
    return 0;
}
