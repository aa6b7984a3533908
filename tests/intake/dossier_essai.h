#pragma once
// A private temporary folder for one test, removed with everything in it at the end.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "core/chemin_utf8.h"

namespace agent::essai {

class dossier_essai {
public:
  dossier_essai() {
    std::random_device hasard;
    const std::filesystem::path temporaire = std::filesystem::temp_directory_path();
    do dossier_ = temporaire / ("agent_essai-" + std::to_string(hasard()));
    while (!std::filesystem::create_directory(dossier_));
  }
  ~dossier_essai() {
    std::error_code ec;
    std::filesystem::remove_all(dossier_, ec);
  }
  dossier_essai(const dossier_essai&) = delete;
  dossier_essai& operator=(const dossier_essai&) = delete;

  // UTF-8, as the agent's text is.
  std::string chemin() const { return texte_utf8(dossier_); }
  std::filesystem::path chemin(const std::string& nom) const { return dossier_ / chemin_utf8(nom); }

  void cree(const std::string& nom, const std::string& contenu = "BM") const {
    std::ofstream(chemin(nom), std::ios::binary) << contenu;
  }
  bool existe(const std::string& nom) const {
    return std::filesystem::exists(std::filesystem::symlink_status(chemin(nom)));
  }

private:
  std::filesystem::path dossier_;
};

}  // namespace agent::essai
