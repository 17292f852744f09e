#include "example_program.h"

namespace kmp {

// The 34 lines that the editor holds at start (lines 6 and 27 end with a space).
const char* const kExampleProgram =
    "// zakladna kostra programu\n"
    "// nazov programu musi koncit dvojbodkou\n"
    "PROGRAM mojprogram:\n"
    "\n"
    "// tu je miesto pre prikazy na vykonanie\n"
    "//zoznam platnych prikazov \n"
    "\n"
    "VYSTUP(0,0,0) CAS 120\n"
    "ROTUJ DOLAVA, ROZBEH 2 CAS 200\n"
    "ROTUJ STALE DOPRAVA, ROZBEH 2 CAS 200\n"
    "\n"
    "//priklad navestia Moj cyklus\n"
    "Moj cyklus:\n"
    "VYSTUP(1,0,0) CAS 10\n"
    "VYSTUP(0,1,0) CAS 20\n"
    "OPAKUJ Moj cyklus: 100\n"
    "\n"
    "//priklad na platne podmienene vetvenie\n"
    "AK DIGITAL (VSTUP1) AND (VSTUP2) SKOK Podmienka:\n"
    "\n"
    "Podmienka:\n"
    "VYSTUP(0,0,1) CAS 200\n"
    "\n"
    "//zmena casovania za behu programu\n"
    "CASOVANIE 4, PERIODA 120\n"
    "\n"
    "//prikaz RESET sluzi na skok na zaciatok programu za tymto prikazom sa \n"
    "//nevykona nic\n"
    "RESET\n"
    "\n"
    "KONIEC\n"
    "\n"
    "// koniec programu ohranicuje prikaz KONIEC\n"
    "// pod tymto prikazom sa program nespracuvava a nepreklada";

}  // namespace kmp
