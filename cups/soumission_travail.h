#pragma once
// A finished document handed to the print scheduler as one job, every step checked: nothing the
// scheduler reports as a failure is ever taken for success, a job that fails after its creation
// is cancelled rather than left in the queue, and a job the scheduler took whole is never taken for
// a failure because its answer was lost.

#include <QByteArray>
#include <chrono>
#include <cstdint>
#include <string>

#include "cups/description_file.h"

namespace agent {

// Submits `document` (`pages` times its page, the stream's synchronisation word once) under `nom`
// with `copies`, on the queue `decrite` describes, with the options that keep the page unscaled
// and in colour; the scheduler's job number. With a `uuid`, the job carries it and is held until
// released. An answer that never came is looked into before anything is decided: a job that holds
// its document was submitted. Throws "Erreur d'imprimante" with the scheduler's words when any
// step fails.
int soumet_travail(const file_decrite& decrite, const std::string& nom, const std::string& uuid, int32_t copies,
                   int32_t pages, const QByteArray& document, std::chrono::milliseconds delai);

}  // namespace agent
