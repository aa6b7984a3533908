#pragma once
// One agent per watched folder across workstations: a lock file in the watched folder itself,
// which every workstation on the share sees. A network file system (CIFS) may not carry flock or
// leases to the server, so the lock is only a file: created with O_EXCL, rewritten whole under
// another name and renamed over itself at every poll (and every second of a long one), so that a
// reader always finds a whole content. It names the holder's host, machine and process and counts its refreshes.
//
// Clocks differ between workstations, so no agent judges another's lock by its date: an agent
// that finds a lock of another watches its content over its own polls. A content that changes
// is a live agent's, and this one stops; a content unchanged for `delai_abandon` (several polls
// of the holder) is a dead agent's, and is taken over, the takeover recorded. A lock of this very
// workstation whose process is gone is taken over at once. The holder checks the lock is still
// its own before each job, so an agent that stalled past the delay and was taken over stops.

#include <chrono>
#include <optional>
#include <string>
#include <system_error>

namespace agent {

// Hidden, and not a job file's name.
inline constexpr const char* nom_verrou_dossier = ".agent_impression.verrou";

class verrou_dossier {
public:
  using horloge = std::chrono::steady_clock;

  verrou_dossier(std::string dossier, std::chrono::milliseconds delai_abandon);
  // Removes the lock file if it is still this agent's.
  ~verrou_dossier();
  verrou_dossier(const verrou_dossier&) = delete;
  verrou_dossier& operator=(const verrou_dossier&) = delete;

  // At start-up: notes another agent's lock, if any, writing nothing; a folder out of reach is
  // left to the first poll to report.
  void observe();

  // Before each poll and each job. True: the folder is this agent's (the lock created, refreshed
  // or taken over), the work may go on. False: another agent's lock is being watched; nothing
  // may be touched. Throws erreur 70 naming the other agent when its lock proves live, or when
  // this agent's lock was taken over; the folder's error (erreur_dossier) when the lock cannot be
  // read or written, as for the listing: a share out of reach is 76 naming the folder.
  bool tient();

private:
  struct vu {
    std::string contenu;
    horloge::time_point depuis;
    bool annonce;  // recorded once
  };

  std::string chemin() const;
  // The lock's content; nothing when there is none. The first fails with the file system's error.
  std::optional<std::string> lit() const;
  std::optional<std::string> lit(std::error_code& ec) const;
  std::string contenu() const;
  void ecrit();
  bool cree();

  std::string dossier_;
  std::chrono::milliseconds delai_;
  std::string hote_, machine_, instance_;
  long long releves_ = 0;
  bool tenu_ = false;
  horloge::time_point ecrit_a_;
  bool sans_verrou_ = false;  // the folder refuses the lock file
  std::optional<vu> vu_;
};

}  // namespace agent
