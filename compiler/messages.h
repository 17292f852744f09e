// The compiler's message texts (UTF-8). Error messages begin with " : ".
#pragma once

#include <string_view>

namespace kmp::msg {

// Log lines of the compile run.
inline constexpr std::string_view kStart = "Začínam prekladať...";
inline constexpr std::string_view kNoProgram = "! chyba: nie je tu žiadny program na preloženie";
inline constexpr std::string_view kCannotCompile =
    " Nedokážem preložiť zdrojový kód! Opravte chyby a skúste znovu! ";
inline constexpr std::string_view kSuccess = "Preklad prebehol úspešne!";
inline constexpr std::string_view kSendNow =
    "Môžete odoslať program do mikrokontroléra PIC cez seriové COM rozhranie!";

// Program structure.
inline constexpr std::string_view kExpectedProgram = " : očakával sa príkaz PROGRAM";
inline constexpr std::string_view kExpectedEnd =
    " : očakával sa príkaz KONIEC alebo iné platné príkazy";
inline constexpr std::string_view kExpectedNewLine = " : očakával sa nový riadok";

// Literal readers.
inline constexpr std::string_view kExpectedNameChar =
    " : očakávalo sa veľké, malé písmeno alebo číslica";
inline constexpr std::string_view kExpectedColon = " : očakával sa symbol dvojbodka \":\"";
inline constexpr std::string_view kExpectedInteger = " : očakávala sa celočíselna konštanta";
inline constexpr std::string_view kExpectedBitValue = " : očakávala sa binárna hodnota 1 alebo 0";
inline constexpr std::string_view kExpectedBit = " : očakávala sa binárna konštanta";
inline constexpr std::string_view kRange253 =
    " : očakávala sa celočíselna konštanta v rozsahu od 0 do 253";
inline constexpr std::string_view kRange15 =
    " : očakávala sa celočíselna konštanta v rozsahu od 0 do 15";
// The one number message spelt with a long a.
inline constexpr std::string_view kRange7 =
    " : očakávala sa celočíselná konštanta v rozsahu od 0 do 7";

// Labels; the name follows these texts.
inline constexpr std::string_view kDuplicateLabel =
    " : názvy návestí sa nesmú opakovať, duplicitný názov návestia: ";
inline constexpr std::string_view kUnknownLabel = " : neznáme návestie: ";
inline constexpr std::string_view kLabelBeforeLoop = " Návestie musí byť pred cyklom!";

// Expect steps of the statements.
inline constexpr std::string_view kExpectedLeftParen = " : očakávala sa ľavá zátvorka \"(\"";
inline constexpr std::string_view kExpectedRightParen = " : očakávala sa pravá zátvorka \")\"";
inline constexpr std::string_view kExpectedComma = " : očakávala sa čiarka \",\"";
inline constexpr std::string_view kExpectedSpace = " : očakávala sa medzera";
inline constexpr std::string_view kExpectedCas = " : očakával sa príkaz CAS";
inline constexpr std::string_view kExpectedPerioda = " : očakával sa príkaz PERIODA";
inline constexpr std::string_view kExpectedRozbeh = " : očakával sa príkaz ROZBEH";
inline constexpr std::string_view kExpectedSkok = " : očakával sa príkaz SKOK";

// Choice steps of the statements.
inline constexpr std::string_view kExpectedDirection =
    " : očakával sa príkaz DOLAVA alebo príkaz DOPRAVA";
inline constexpr std::string_view kExpectedSource =
    " : očakával sa príkaz DIGITAL alebo KOMPARATOR";
inline constexpr std::string_view kExpectedInput1 = " : očakával sa príkaz VSTUP1 alebo NEG_VSTUP1";
inline constexpr std::string_view kExpectedOperation =
    " : očakával sa príkaz AND alebo NAND alebo OR alebo NOR";
inline constexpr std::string_view kExpectedInput2 = " : očakával sa príkaz VSTUP2 alebo NEG_VSTUP2";
inline constexpr std::string_view kOneInputNegated =
    " : negácia iba jedného vstupu! Správne (VSTUP1) operácia (VSTUP2) alebo "
    "(NEG_VSTUP1) operácia (NEG_VSTUP2)";

}  // namespace kmp::msg
