#pragma once
// The program's whole argument text on Windows: the command line exactly as the system handed it
// over (GetCommandLineW), less the program's name and the blanks that follow it. Quotes and inner
// spacing stay: a printer's name is the text as typed, not the arguments a C runtime would split.

#include <string>
#include <string_view>

namespace agent {

// `ligne` less its first word, the program's name (in double quotes when it starts with one,
// otherwise up to the first blank), and the spaces and tabs after it.
std::wstring_view texte_arguments(std::wstring_view ligne);

// Read afresh at each call, in UTF-8.
std::string ligne_de_commande();

}  // namespace agent
