// The grammar: its skeleton (program header, statement list, one statement)
// and the statement translators.
#pragma once

#include "compile_state.h"
#include "instruction_word.h"

#include <string_view>

namespace kmp {

void ParseProgram();
void ParseStatements();
void ParseStatement();

// The statement translators. Each is entered with its keyword current, walks
// every step of its statement against whatever token is current (it never
// returns early) and returns the statement's instruction word.
InstructionWord TranslateOutput();     // VYSTUP(a,b,c) CAS t
InstructionWord TranslateTiming();     // CASOVANIE n, PERIODA p
InstructionWord TranslateReset();      // RESET
InstructionWord TranslateRotation();   // ROTUJ [STALE] DOLAVA|DOPRAVA, ROZBEH r CAS t
InstructionWord TranslateRepeat();     // OPAKUJ L: c
InstructionWord TranslateCondition();  // AK src (in1) op (in2) SKOK L:

}  // namespace kmp
