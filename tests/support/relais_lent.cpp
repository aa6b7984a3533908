#include "tests/support/relais_lent.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <stdexcept>

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

// The IPP operation of the request that `requete` starts, or -1 while its first bytes are still to
// come. The IPP message follows the headers, after the first chunk's size line when chunked.
int operation_ipp(const std::string& requete) {
  const size_t fin = requete.find("\r\n\r\n");
  if (fin == requete.npos) return -1;
  std::string entete = requete.substr(0, fin);
  std::transform(entete.begin(), entete.end(), entete.begin(), [](unsigned char c) { return std::tolower(c); });
  size_t corps = fin + 4;
  if (entete.find("transfer-encoding: chunked") != entete.npos) {
    const size_t taille = requete.find("\r\n", corps);
    if (taille == requete.npos) return -1;
    corps = taille + 2;
  }
  if (requete.size() < corps + 4) return -1;
  return static_cast<unsigned char>(requete[corps + 2]) << 8 | static_cast<unsigned char>(requete[corps + 3]);
}

}  // namespace

relais_lent::relais_lent(fs::path serveur, std::chrono::milliseconds pause)
    : relais_lent(std::move(serveur), pause, -1) {}

relais_lent::relais_lent(fs::path serveur, uint16_t operation_perdue)
    : relais_lent(std::move(serveur), std::chrono::milliseconds(0), operation_perdue) {}

relais_lent::relais_lent(fs::path serveur, std::chrono::milliseconds pause, int operation_perdue)
    : serveur_(std::move(serveur)),
      pause_(pause),
      operation_perdue_(operation_perdue),
      dossier_(dossier_temporaire("agent_relais_")) {
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
  echange e;
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
      if (operation_perdue_ >= 0) {
        ouvert = transmet(i == 0, {tampon, taille}, vers, e);
        continue;
      }
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

// Passes `morceau` on to `vers`, following the connection's requests one after another; false once
// the connection is to close.
bool relais_lent::transmet(bool du_client, std::string_view morceau, int vers, echange& e) {
  if (du_client) {
    if (e.repondu) e = {};  // the next request on a connection kept alive
    if (e.operation < 0 && e.requete.size() < 65536) {
      e.requete.append(morceau);
      e.operation = operation_ipp(e.requete);
      e.perdu = e.operation == operation_perdue_ && !perte_faite_.exchange(true);
    }
    return envoie(vers, morceau.data(), morceau.size());
  }
  if (!e.perdu) {
    if (!e.repondu) e.repondu = fin_entete(e.reponse.append(morceau)) != std::string_view::npos;
    return envoie(vers, morceau.data(), morceau.size());
  }
  e.reponse.append(morceau);
  // The interim answers pass; the answer itself never does.
  constexpr std::string_view suite = "HTTP/1.1 100 ";
  for (size_t fin; e.reponse.starts_with(suite) && (fin = e.reponse.find("\r\n\r\n")) != e.reponse.npos;) {
    if (!envoie(vers, e.reponse.data(), fin + 4)) return false;
    e.reponse.erase(0, fin + 4);
  }
  return fin_entete(e.reponse) == std::string_view::npos;
}

}  // namespace agent::essai
