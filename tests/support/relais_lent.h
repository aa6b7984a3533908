#pragma once
// A relay in front of the private scheduler's socket that holds back the body of each of its
// answers for a while after the answer's headers, as a scheduler busy writing to its disk does.
// Requests pass at once; "100 Continue" has no body and passes at once too. It serves one
// connection at a time, as the CUPS printer opens them.
//
//   relais_lent relais(serveur.socket(), 400ms);
//   cupsSetServer(relais.socket().c_str());   // libcups now talks to the scheduler through it

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

namespace agent::essai {

class relais_lent {
public:
  relais_lent(std::filesystem::path serveur, std::chrono::milliseconds pause);
  ~relais_lent();
  relais_lent(const relais_lent&) = delete;
  relais_lent& operator=(const relais_lent&) = delete;

  const std::filesystem::path& socket() const { return socket_; }

private:
  void sert();
  void relaie(int client);

  std::filesystem::path serveur_;
  std::chrono::milliseconds pause_;
  std::filesystem::path dossier_;
  std::filesystem::path socket_;
  int ecoute_ = -1;
  std::atomic<bool> fin_{false};
  std::thread fil_;
};

}  // namespace agent::essai
