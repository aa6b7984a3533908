#pragma once
// A private temporary folder for one test, removed with everything in it at the end.

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <string>

namespace agent::essai {

class dossier_essai {
public:
  std::string chemin() const { return dossier_.path().toStdString(); }
  std::filesystem::path chemin(const std::string& nom) const { return std::filesystem::path(chemin()) / nom; }

  void cree(const std::string& nom, const std::string& contenu = "BM") const {
    std::ofstream(chemin(nom), std::ios::binary) << contenu;
  }
  bool existe(const std::string& nom) const {
    return std::filesystem::exists(std::filesystem::symlink_status(chemin(nom)));
  }

private:
  QTemporaryDir dossier_;
};

}  // namespace agent::essai
