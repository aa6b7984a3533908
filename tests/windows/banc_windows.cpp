#include "tests/windows/banc_windows.h"

#include <stdexcept>

#include "tests/support/processus_essai.h"

namespace agent::essai {

namespace {

const std::string programmes = AGENT_WINDOWS_BIN;

}  // namespace

banc_windows::banc_windows(int32_t resolution) : banc_agent({}, pilote{resolution, "A4", sorte_file::postscript}) {
  wine.ajoute_imprimante(description_file_agent, file_agent, resolution);
  wine.relie_partage(repertoire());
  commande_agent_ = {chargeur_wine(), programmes + "/agent_impression_essai.exe"};
}

banc_windows::~banc_windows() {
  for (const pid_t pid : aides_) arrete(pid);
}

std::string banc_windows::chemin_windows(const std::string& nom) {
  return std::string(R"(\\192.168.1.10\partage\)") + dossier_agent_essai + "\\" + nom;
}

void banc_windows::garde_ouvert(const std::string& nom, std::chrono::milliseconds duree) {
  const auto journal = repertoire() / ("garde_" + nom + ".txt");
  aides_.push_back(wine.demarre(
      {programmes + "/operateur.exe", "tient", chemin_windows(nom), std::to_string(duree.count())}, journal));
  if (!attend_que([&] { return lit_fichier(journal).find("ouvert") != std::string::npos; }, std::chrono::seconds(60)))
    throw std::runtime_error("operateur tient : " + lit_fichier(journal));
}

std::string banc_windows::operateur(const std::vector<std::string>& arguments, std::chrono::seconds delai) {
  std::vector<std::string> commande = {programmes + "/operateur.exe"};
  commande.insert(commande.end(), arguments.begin(), arguments.end());
  const prefixe_wine::resultat r = wine.execute(commande, delai);
  if (r.code != 0) throw std::runtime_error("operateur " + arguments.at(0) + " : " + r.sortie);
  // Its C library writes text lines with "\r\n".
  std::string sortie;
  for (const char c : r.sortie)
    if (c != '\r') sortie += c;
  return sortie;
}

}  // namespace agent::essai
