// Test helper: starts the catalogue lookup as the programs do, then prints
// the lookup of each argument on a line of its own.
#include <cstdio>

#include "i18n.h"

int main(int argc, char** argv) {
    kmp::i18n::Init();
    for (int i = 1; i < argc; ++i) std::printf("%s\n", kmp::i18n::Tr(argv[i]));
    return 0;
}
