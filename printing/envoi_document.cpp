#include "core/journal.h"
#include "printing/service_imprimante.h"

namespace agent {

std::string decrit_envoi(const envoi_document& envoi) {
  if (envoi.file.empty()) return "envoi=aucun points=" + std::to_string(envoi.points);
  return "file=" + champ(envoi.file) + " travail=" + std::to_string(envoi.travail) + " format=" + envoi.format +
         " points=" + std::to_string(envoi.points);
}

}  // namespace agent
