#pragma once
// The program's whole argument text: everything after its own name, the arguments joined by
// single spaces as the program received them, quotes and inner spaces kept. Read afresh at each
// call, from what the system handed the process, so nothing Qt does to argv can change it.

#include <string>

namespace agent {

std::string ligne_de_commande();

// The same joining over explicit arguments (argv[1] onwards).
std::string joint_arguments(int nombre, const char* const* arguments);

}  // namespace agent
