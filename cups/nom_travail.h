#pragma once
// The name a job shows in the queue and on the printer's panel.

#include <string>

namespace agent {

// `nom` as IPP carries a name: UTF-8 text without control characters, at most 255 bytes. A file
// name may be any bytes; what is not UTF-8, or is a control character, shows as U+FFFD, and a
// longer name is cut between characters, rather than the job being refused for its name.
std::string nom_travail_ipp(const std::string& nom);

}  // namespace agent
