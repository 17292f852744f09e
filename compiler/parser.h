// The grammar skeleton: program header, statement list, one statement.
#pragma once

namespace kmp {

void ParseProgram();
void ParseStatements();
void ParseStatement();

}  // namespace kmp
