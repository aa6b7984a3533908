#include "tests/fiabilite/banc_agent.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "intake/verrou_dossier.h"
#include "tests/support/bmp_essai_qt.h"
#include "tests/support/processus_essai.h"

namespace agent::essai {

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> ligne_de_commande = {"QLS-4100", "Xe", "drivers", "standard"};

}  // namespace

QImage image_essai() {
  QImage image(3, 2, QImage::Format_RGB32);
  image.fill(Qt::white);
  image.setPixel(0, 0, qRgb(255, 0, 0));
  image.setPixel(2, 1, qRgb(0, 0, 0));
  return image;
}

std::map<std::pair<int, int>, uint32_t> points_image_essai() {
  // The margin is 60 across and 20 down; black gets a companion dot one pixel to its left.
  return {{{60, 20}, 0xFF0000}, {{61, 21}, 0x000000}, {{62, 21}, 0x000000}};
}

QByteArray bmp_essai() { return ecrit_bmp(image_essai(), 24); }

std::map<std::pair<int, int>, uint32_t> points_page(const QByteArray& pdf) {
  const QImage page = rasterise_pdf(pdf, 300);
  std::map<std::pair<int, int>, uint32_t> points;
  for (int y = 0; y < page.height(); ++y) {
    const auto* ligne = reinterpret_cast<const QRgb*>(page.constScanLine(y));
    for (int x = 0; x < page.width(); ++x)
      if ((ligne[x] & 0xFFFFFF) != 0xFFFFFF) points[{x, y}] = ligne[x] & 0xFFFFFF;
  }
  return points;
}

std::string message_fatal(int numero, const std::string& description) {
  return "agent_impression : Erreur " + std::to_string(numero) + " : " + description;
}

banc_agent::banc_agent(const std::vector<std::string>& directives, const std::optional<pilote>& avec)
    : serveur(directives),
      repertoire_(dossier_temporaire("agent_fiabilite_")) {  // some cases run the agent as an unprivileged user
  serveur.ajoute_file(file_agent, description_file_agent, avec);
  fs::create_directory(dossier());
}

banc_agent::~banc_agent() {
  agent_.reset();
  ecrivains_.clear();
  std::error_code ignore;
  fs::remove_all(repertoire_, ignore);
}

void banc_agent::surveille(const fs::path& dossier_reel) {
  fs::remove(dossier());
  fs::create_directory_symlink(dossier_reel, dossier());
}

void banc_agent::depose(const std::string& nom, const QByteArray& contenu) const {
  ecrit_fichier((dossier() / nom).string(), contenu);
}

void banc_agent::depose_peu_a_peu(const std::string& nom, const QByteArray& contenu, bool taille_d_abord,
                                  std::chrono::milliseconds duree) {
  const std::string chemin = (dossier() / nom).string();
  ecrivains_.emplace_back([=](std::stop_token arret) {
    constexpr int morceaux = 30;
    int descripteur = -1;
    for (int i = 0; i < morceaux && !arret.stop_requested(); ++i) {
      // Not inherited by the agent started meanwhile, which would then hold it open for good. Open
      // for reading too: through smbnetfs, a resize of a descriptor that cannot read the file's
      // attributes back fails (EIO, after 4 s of retries).
      if (descripteur < 0) descripteur = ::open(chemin.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
      if (i == 0 && taille_d_abord && ::ftruncate(descripteur, contenu.size()) != 0) break;
      const qsizetype debut = contenu.size() * i / morceaux, taille = contenu.size() * (i + 1) / morceaux - debut;
      if (::pwrite(descripteur, contenu.constData() + debut, taille, debut) != taille) break;
      if (!taille_d_abord) descripteur = (::close(descripteur), -1);
      std::this_thread::sleep_for(duree / morceaux);
    }
    if (descripteur >= 0) ::close(descripteur);
  });
}

void banc_agent::garde_ouvert(const std::string& nom, std::chrono::milliseconds duree) {
  const int descripteur = ::open((dossier() / nom).c_str(), O_WRONLY | O_CLOEXEC);
  if (descripteur < 0) throw std::runtime_error("ouverture impossible : " + nom);
  ecrivains_.emplace_back([=](std::stop_token arret) {
    const auto fin = std::chrono::steady_clock::now() + duree;
    while (!arret.stop_requested() && std::chrono::steady_clock::now() < fin)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::close(descripteur);
  });
}

std::vector<std::string> banc_agent::restants() const {
  std::vector<std::string> noms;
  std::error_code ec;
  for (fs::directory_iterator it(dossier(), ec), fin; !ec && it != fin; it.increment(ec))
    if (it->path().filename() != nom_verrou_dossier) noms.push_back(it->path().filename().string());
  std::sort(noms.begin(), noms.end());
  return noms;
}

bool banc_agent::attend_restants(const std::vector<std::string>& noms) const {
  return attend_que([&] { return restants() == noms; }, attente_agent);
}

void banc_agent::lance_sous_terminal() {
  std::string commande = AGENT_BINAIRE_ESSAI;
  for (const std::string& mot : ligne_de_commande) commande += " " + mot;
  agent_ = std::make_unique<agent_en_cours>(
      "/usr/bin/script", repertoire_, std::vector<std::string>{"-q", "-e", "-c", commande, "terminal.txt"}, false);
}

void banc_agent::lance(bool sans_privilege) {
  if (!sans_privilege || geteuid() != 0) {
    std::vector<std::string> arguments(commande_agent_.begin() + 1, commande_agent_.end());
    arguments.insert(arguments.end(), ligne_de_commande.begin(), ligne_de_commande.end());
    agent_ = std::make_unique<agent_en_cours>(commande_agent_.front(), repertoire_, arguments, false);
    return;
  }
  // The build folder may be out of the user's reach: a copy of the binary next to the case.
  const fs::path copie = repertoire_ / "agent_impression_essai";
  fs::copy_file(AGENT_BINAIRE_ESSAI, copie, fs::copy_options::overwrite_existing);
  fs::permissions(copie, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read |
                             fs::perms::others_exec);
  std::vector<std::string> arguments = {"--reuid=nobody", "--regid=nogroup", "--clear-groups", copie.string()};
  arguments.insert(arguments.end(), ligne_de_commande.begin(), ligne_de_commande.end());
  agent_ = std::make_unique<agent_en_cours>("/usr/bin/setpriv", repertoire_, arguments, false);
}

}  // namespace agent::essai
