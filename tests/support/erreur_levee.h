#pragma once
// The agent error an action throws, or nothing when it returns normally or throws something else.

#include <optional>

#include "core/erreur.h"

namespace agent::essai {

template <class Action>
std::optional<erreur> erreur_levee(Action&& action) {
  try {
    action();
  } catch (const erreur& e) {
    return e;
  }
  return std::nullopt;
}

}  // namespace agent::essai
