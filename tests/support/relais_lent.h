#pragma once
// A relay in front of the private scheduler's socket, in one of two modes. Slow: it holds back
// the body of each of its answers for a while after the answer's headers, as a scheduler busy
// writing to its disk does; requests pass at once, and "100 Continue" has no body and passes at
// once too. Lossy: everything passes at once, except that the answer to the first request of one
// IPP operation never comes back: when it arrives, the relay closes the client's connection
// instead, as when a connection drops after the scheduler took the request. It serves one
// connection at a time, as the CUPS printer opens them.
//
//   relais_lent relais(serveur.socket(), 400ms);
//   cupsSetServer(relais.socket().c_str());   // libcups now talks to the scheduler through it
//   relais_lent perte(serveur.socket(), IPP_OP_SEND_DOCUMENT);

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>

namespace agent::essai {

class relais_lent {
public:
  relais_lent(std::filesystem::path serveur, std::chrono::milliseconds pause);
  relais_lent(std::filesystem::path serveur, uint16_t operation_perdue);
  ~relais_lent();
  relais_lent(const relais_lent&) = delete;
  relais_lent& operator=(const relais_lent&) = delete;

  const std::filesystem::path& socket() const { return socket_; }
  // Whether the request whose answer is lost has come.
  bool a_perdu() const { return perte_faite_; }

private:
  // Where the request a connection carries and its answer stand.
  struct echange {
    std::string requete;  // its start, until its operation is known
    int operation = -1;
    std::string reponse;  // its answer's start, until the answer's headers are whole
    bool repondu = false;
    bool perdu = false;  // its answer is not to come back
  };

  relais_lent(std::filesystem::path serveur, std::chrono::milliseconds pause, int operation_perdue);
  void sert();
  void relaie(int client);
  bool transmet(bool du_client, std::string_view morceau, int vers, echange& e);

  std::filesystem::path serveur_;
  std::chrono::milliseconds pause_;
  int operation_perdue_;  // -1 in the slow mode
  std::atomic<bool> perte_faite_{false};
  std::filesystem::path dossier_;
  std::filesystem::path socket_;
  int ecoute_ = -1;
  std::atomic<bool> fin_{false};
  std::thread fil_;
};

}  // namespace agent::essai
