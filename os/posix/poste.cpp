#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>

#include "intake/poste.h"

namespace agent {

std::string nom_poste() {
  char nom[256] = {};
  if (::gethostname(nom, sizeof nom - 1) != 0) return {};
  return nom;
}

// As systemd and D-Bus keep it; the second for systems without systemd.
std::string identifiant_machine() {
  for (const char* fichier : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
    std::ifstream f(fichier);
    std::string identifiant;
    if (f >> identifiant && !identifiant.empty()) return identifiant;
  }
  return {};
}

std::string numero_processus() { return std::to_string(::getpid()); }

bool processus_disparu(const std::string& numero) {
  char* fin = nullptr;
  const long pid = std::strtol(numero.c_str(), &fin, 10);
  if (numero.empty() || *fin != '\0' || pid <= 0) return false;
  if (pid == ::getpid()) return true;
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

}  // namespace agent
