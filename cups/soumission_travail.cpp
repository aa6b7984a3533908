#include "cups/soumission_travail.h"

#include "core/erreur.h"
#include "core/journal.h"
#include "cups/page_cups.h"
#include "cups/page_pwg.h"
#include "cups/travaux_agent.h"

namespace agent {

namespace {

// Create-Job as libcups's cupsCreateJob sends it, but on this connection: cupsCreateJob looks the
// queue up again first, fetching its full description over a connection of its own, without the
// operation's deadline. The job's number; 0 when the scheduler refuses it. Throws nothing.
int cree_travail(const connexion& c, const std::string& file, const std::string& nom, const std::string& uuid,
                 int nombre_options, cups_option_t* options) {
  ipp_t* requete = ippNewRequest(IPP_OP_CREATE_JOB);
  ippAddString(requete, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri_file(file).c_str());
  ippAddString(requete, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
  ippAddString(requete, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, nom.c_str());
  cupsEncodeOptions2(requete, nombre_options, options, IPP_TAG_OPERATION);
  cupsEncodeOptions2(requete, nombre_options, options, IPP_TAG_JOB);
  if (!uuid.empty()) {
    ippAddString(requete, IPP_TAG_JOB, IPP_TAG_URI, "job-uuid", nullptr, uuid.c_str());
    ippAddString(requete, IPP_TAG_JOB, IPP_CONST_TAG(IPP_TAG_KEYWORD), "job-hold-until", nullptr, "indefinite");
  }
  const reponse_ipp reponse(cupsDoRequest(c.http(), requete, ("/printers/" + file).c_str()));
  ipp_attribute_t* numero = reponse ? ippFindAttribute(reponse.get(), "job-id", IPP_TAG_INTEGER) : nullptr;
  return numero ? ippGetInteger(numero, 0) : 0;
}

// A failure once the job exists. The scheduler may have taken the whole document although its
// answer never came: that job is the one submitted, and cancelling it would lose it (held) or not
// stop it (printing already). Anything else is cancelled, so that no job is left behind, and the
// failure reported.
int echec_apres_creation(const connexion& c, const std::string& file, int travail, const std::string& motif,
                         std::chrono::milliseconds delai) {
  if (c.reponse_perdue() && document_recu(travail, delai).value_or(false)) {
    note_info("réponse perdue, document reçu : file=%s travail=%d raison=%s", champ(file).c_str(), travail,
              champ(motif).c_str());
    return travail;
  }
  // A fresh connection: the failed one may be stuck in the middle of a request. The failure that
  // brought us here is the one to report, whatever the cancellation meets.
  horloge::time_point echeance = horloge::now() + delai;
  if (http_t* http = connecte(delai, &echeance)) {
    cupsCancelJob2(http, file.c_str(), travail, 0);
    httpClose(http);
  }
  throw erreur(code_erreur::erreur_imprimante, motif);
}

}  // namespace

int soumet_travail(const file_decrite& decrite, const std::string& nom, const std::string& uuid, int32_t copies,
                   int32_t pages, const QByteArray& document, std::chrono::milliseconds delai) {
  const std::string& file = decrite.d.nom;
  const format_envoi format = decrite.envoi.format;
  connexion c(delai);
  // The page is drawn on the queue's own medium at its resolution: the filters must neither fit
  // it to the printable area (which scales it) nor centre it, and a queue that defaults to grey
  // would print the colours as greys. A queue ignores what it does not support.
  cups_option_t* options = nullptr;
  int nombre_options = cupsAddIntegerOption("copies", pages > 1 ? 1 : copies, 0, &options);
  nombre_options = cupsAddOption("media", decrite.format.support.c_str(), nombre_options, &options);
  nombre_options = cupsAddOption("print-scaling", "none", nombre_options, &options);
  nombre_options = cupsAddOption("position", "top-left", nombre_options, &options);
  nombre_options = cupsAddOption("print-color-mode", "color", nombre_options, &options);
  if (const auto& couleur = decrite.envoi.couleur)
    nombre_options = cupsAddOption(couleur->option.c_str(), couleur->valeur.c_str(), nombre_options, &options);
  const int travail = cree_travail(c, file, nom, uuid, nombre_options, options);
  cupsFreeOptions(nombre_options, options);
  if (!reussi(cupsLastError()) || travail <= 0 || c.rompue()) {
    // An answer that never came may hide a job made all the same, which would wait without a
    // document for ever: the uuid finds it.
    const std::string motif = c.motif(designation(file) + " refuse le travail");
    if (c.reponse_perdue() && !uuid.empty()) annule_sans_numero(uuid, delai);
    throw erreur(code_erreur::erreur_imprimante, motif);
  }

  if (cupsStartDocument(c.http(), file.c_str(), travail, nom.c_str(), type_document(format), 1) != HTTP_STATUS_CONTINUE)
    return echec_apres_creation(c, file, travail, c.motif(designation(file) + " refuse le document"), delai);
  for (int32_t i = 0; i < pages; ++i) {
    const qsizetype debut = i == 0 ? 0 : format == format_envoi::pwg ? synchro_pwg : synchro_raster_cups;
    if (cupsWriteRequestData(c.http(), document.constData() + debut, static_cast<size_t>(document.size() - debut)) !=
        HTTP_STATUS_CONTINUE)
      return echec_apres_creation(c, file, travail, c.motif("envoi du document à " + designation(file) + " interrompu"),
                                  delai);
  }
  if (!reussi(cupsFinishDocument(c.http(), file.c_str())) || c.rompue())
    return echec_apres_creation(c, file, travail, c.motif(designation(file) + " n'a pas accepté le document"), delai);
  return travail;
}

}  // namespace agent
