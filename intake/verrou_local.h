#pragma once
// One agent per watched folder on this workstation: a lock that the kernel releases with its
// process, however that process ends. It is a file named after the watched folder's absolute
// path, holding the process number of the agent that has it, so that a second agent can say which
// one it met: on Linux an flock on it in the user's runtime folder ($XDG_RUNTIME_DIR)
// (os/posix/verrou_local.cpp), on Windows a handle on it that shares no writing, in
// %LOCALAPPDATA%\agent_impression\ (os/windows/verrou_local.cpp).

#include <cstdint>
#include <optional>
#include <string>

#include "core/erreur.h"

namespace agent {

class verrou_local {
public:
  verrou_local() = default;
  ~verrou_local();
  verrou_local(const verrou_local&) = delete;
  verrou_local& operator=(const verrou_local&) = delete;

  // Takes the lock of `dossier` for as long as this object lives. Nothing when taken; otherwise
  // the error that stops this agent, naming the folder and the agent that holds it (or, when the
  // runtime folder itself fails, what failed).
  std::optional<erreur> prend(const std::string& dossier);

private:
  // The file's descriptor, or its HANDLE on Windows; negative: none.
  std::intptr_t descripteur_ = -1;
};

}  // namespace agent
