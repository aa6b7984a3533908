#include "tests/support/relais_lent.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <string_view>

#include "tests/support/processus_essai.h"

namespace agent::essai {

namespace fs = std::filesystem;

namespace {

constexpr int tour_ms = 50;  // how often the relay looks whether it is closing

bool envoie(int vers, const char* donnees, size_t taille) {
  while (taille > 0) {
    const ssize_t n = ::send(vers, donnees, taille, MSG_NOSIGNAL);
    if (n <= 0) return false;
    donnees += n;
    taille -= static_cast<size_t>(n);
  }
  return true;
}

// Where the headers of an answer that has a body end in `morceau`, or npos. A "100 Continue" and
// the answer after it often come in one piece.
size_t fin_entete(std::string_view morceau) {
  constexpr std::string_view statut = "HTTP/1.1 ";
  for (size_t debut = morceau.find(statut); debut != morceau.npos; debut = morceau.find(statut, debut + 1)) {
    if (morceau.substr(debut).starts_with("HTTP/1.1 100 ")) continue;
    const size_t fin = morceau.find("\r\n\r\n", debut);
    return fin == morceau.npos ? fin : fin + 4;
  }
  return morceau.npos;
}

}  // namespace

relais_lent::relais_lent(fs::path serveur, std::chrono::milliseconds pause)
    : serveur_(std::move(serveur)), pause_(pause), dossier_(dossier_temporaire("agent_relais_")) {
  socket_ = dossier_ / "relais.sock";
  ecoute_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_un a = adresse_locale(socket_);
  if (ecoute_ < 0 || ::bind(ecoute_, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 ||
      ::listen(ecoute_, 16) != 0)
    throw std::runtime_error("relais : " + std::string(std::strerror(errno)));
  fil_ = std::thread([this] { sert(); });
}

relais_lent::~relais_lent() {
  fin_ = true;
  fil_.join();
  ::close(ecoute_);
  std::error_code ignore;
  fs::remove_all(dossier_, ignore);
}

void relais_lent::sert() {
  while (!fin_) {
    pollfd p{ecoute_, POLLIN, 0};
    if (::poll(&p, 1, tour_ms) <= 0) continue;
    if (const int client = ::accept4(ecoute_, nullptr, nullptr, SOCK_CLOEXEC); client >= 0) relaie(client);
  }
}

void relais_lent::relaie(int client) {
  const int serveur = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_un a = adresse_locale(serveur_);
  bool ouvert = serveur >= 0 && ::connect(serveur, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
  char tampon[65536];
  while (ouvert && !fin_) {
    pollfd p[2] = {{client, POLLIN, 0}, {serveur, POLLIN, 0}};
    if (::poll(p, 2, tour_ms) <= 0) continue;
    for (int i = 0; i < 2 && ouvert; ++i) {
      if (!(p[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      const ssize_t lus = ::recv(p[i].fd, tampon, sizeof tampon, 0);
      const int vers = i == 0 ? serveur : client;
      if (lus <= 0) {
        ouvert = false;
        break;
      }
      const size_t taille = static_cast<size_t>(lus);
      // The body may be in this piece or in the next: either way it leaves after the pause.
      const size_t coupure = i == 1 ? fin_entete({tampon, taille}) : std::string_view::npos;
      if (coupure == std::string_view::npos) {
        ouvert = envoie(vers, tampon, taille);
        continue;
      }
      ouvert = envoie(vers, tampon, coupure);
      std::this_thread::sleep_for(pause_);
      ouvert = ouvert && envoie(vers, tampon + coupure, taille - coupure);
    }
  }
  ::close(client);
  if (serveur >= 0) ::close(serveur);
}

}  // namespace agent::essai
