#pragma once
// The agent's jobs paused in the Windows spooler until their file is deleted.
//
// A job carries its uuid in its document name, after the file's name and a space
// ("a_b_1.bmp2 urn:uuid:…"): StartDoc sets that name as it creates the job, so no job of the
// agent's ever exists without its uuid, even when the agent stops right after, and EnumJobs
// gives it back at level 1 on every spooler. The other fields of a job that could hold it are
// set by SetJob only once the job exists, and several spoolers ignore them.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "printing/service_imprimante.h"

namespace agent {

std::string nom_document_retenu(const std::string& nom, const std::string& uuid);
// The file's name and the uuid in such a document name, when its uuid starts with `prefixe`.
std::optional<travail_retenu> lit_nom_document(const std::string& document, const std::string& prefixe);

// Pauses, resumes or deletes job `travail` of printer `imprimante` (JOB_CONTROL_…). False when the
// spooler refuses, with GetLastError saying why.
bool commande_travail(const std::wstring& imprimante, DWORD travail, DWORD commande);
// Whether the spooler reports job `travail` as paused; false too when it cannot tell.
bool travail_en_pause(const std::wstring& imprimante, DWORD travail);

// The paused jobs of every printer whose uuid starts with `prefixe`. Throws "Erreur d'imprimante"
// when a printer's jobs cannot be listed.
std::vector<travail_retenu> travaux_en_pause(const std::string& prefixe);

}  // namespace agent
