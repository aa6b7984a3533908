#pragma once
// The machine's default paper, for a queue that reports none of its own. The print scheduler
// takes its default from the same place (the system paper setting: the PAPERSIZE variable or
// /etc/papersize), so a page laid out on it matches what the scheduler assumes.

#include <string>

namespace agent {

// Its PWG name ("iso_a4_210x297mm").
std::string papier_systeme();

}  // namespace agent
