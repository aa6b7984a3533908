#include "tests/fiabilite/observateur_dossier.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace agent::essai {

observateur_dossier::observateur_dossier(const std::filesystem::path& dossier, uint32_t masque)
    : descripteur_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
  if (descripteur_ < 0) throw std::runtime_error(std::string("inotify : ") + std::strerror(errno));
  if (inotify_add_watch(descripteur_, dossier.c_str(), masque) < 0) {
    const int cause = errno;
    ::close(descripteur_);
    throw std::runtime_error("inotify " + dossier.string() + " : " + std::strerror(cause));
  }
}

observateur_dossier::~observateur_dossier() { ::close(descripteur_); }

const std::vector<evenement_dossier>& observateur_dossier::evenements() {
  alignas(inotify_event) char tampon[64 * 1024];
  for (;;) {
    const ssize_t lus = ::read(descripteur_, tampon, sizeof tampon);
    if (lus <= 0) break;
    for (ssize_t position = 0; position < lus;) {
      const auto* e = reinterpret_cast<const inotify_event*>(tampon + position);
      // A lost event would make every order drawn from this list meaningless.
      if (e->mask & IN_Q_OVERFLOW) throw std::runtime_error("inotify : file d'événements débordée");
      evenements_.push_back({e->mask, e->len ? std::string(e->name) : std::string()});
      position += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
    }
  }
  return evenements_;
}

std::vector<std::string> observateur_dossier::noms(uint32_t masque) {
  std::vector<std::string> resultat;
  for (const auto& e : evenements())
    if (e.masque & masque) resultat.push_back(e.nom);
  return resultat;
}

bool observateur_dossier::attend(const std::function<bool(const std::vector<evenement_dossier>&)>& condition,
                                 std::chrono::milliseconds delai) {
  const auto limite = std::chrono::steady_clock::now() + delai;
  for (;;) {
    if (condition(evenements())) return true;
    const auto reste = std::chrono::duration_cast<std::chrono::milliseconds>(limite - std::chrono::steady_clock::now());
    if (reste.count() <= 0) return false;
    pollfd attente{descripteur_, POLLIN, 0};
    ::poll(&attente, 1, static_cast<int>(std::min<int64_t>(reste.count(), 100)));
  }
}

}  // namespace agent::essai
