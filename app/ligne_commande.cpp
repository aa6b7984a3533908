#include "app/ligne_commande.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace agent {

std::string joint_arguments(int nombre, const char* const* arguments) {
  std::string texte;
  for (int i = 0; i < nombre; ++i) {
    if (i > 0) texte += ' ';
    texte += arguments[i];
  }
  return texte;
}

std::string ligne_de_commande() {
  // NUL-separated arguments, the program's name first.
  std::ifstream fichier("/proc/self/cmdline", std::ios::binary);
  const std::string brut{std::istreambuf_iterator<char>(fichier), std::istreambuf_iterator<char>()};
  std::vector<const char*> arguments;
  for (size_t debut = 0; debut < brut.size(); debut = brut.find('\0', debut) + 1) {
    arguments.push_back(brut.c_str() + debut);
    if (brut.find('\0', debut) == std::string::npos) break;
  }
  if (arguments.size() <= 1) return {};
  return joint_arguments(static_cast<int>(arguments.size() - 1), arguments.data() + 1);
}

}  // namespace agent
