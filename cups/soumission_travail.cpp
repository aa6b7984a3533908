#include "cups/soumission_travail.h"

#include "cups/page_cups.h"
#include "cups/page_pwg.h"

namespace agent {

namespace {

// From job creation on, a failure must not leave a job behind in the queue.
class annulation_sur_echec {
public:
  annulation_sur_echec(const std::string& file, int travail, std::chrono::milliseconds delai)
      : file_(file), travail_(travail), delai_(delai) {}
  ~annulation_sur_echec() {
    if (!arme_) return;
    // A fresh connection: the failed one may be stuck in the middle of a request. Nothing is
    // thrown from here; the failure that brought us here is the one to report.
    horloge::time_point echeance = horloge::now() + delai_;
    if (http_t* http = connecte(delai_, &echeance)) {
      cupsCancelJob2(http, file_.c_str(), travail_, 0);
      httpClose(http);
    }
  }
  annulation_sur_echec(const annulation_sur_echec&) = delete;
  annulation_sur_echec& operator=(const annulation_sur_echec&) = delete;

  void desarme() { arme_ = false; }

private:
  const std::string& file_;
  int travail_;
  std::chrono::milliseconds delai_;
  bool arme_ = true;
};

// Create-Job as libcups's cupsCreateJob sends it, but on this connection: cupsCreateJob looks the
// queue up again first, fetching its full description over a connection of its own, without the
// operation's deadline. The job's number; 0 when the scheduler refuses it. Throws nothing.
int cree_travail(const connexion& c, const std::string& file, const std::string& nom, int nombre_options,
                 cups_option_t* options) {
  ipp_t* requete = ippNewRequest(IPP_OP_CREATE_JOB);
  ippAddString(requete, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri_file(file).c_str());
  ippAddString(requete, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
  ippAddString(requete, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, nom.c_str());
  cupsEncodeOptions2(requete, nombre_options, options, IPP_TAG_OPERATION);
  cupsEncodeOptions2(requete, nombre_options, options, IPP_TAG_JOB);
  const reponse_ipp reponse(cupsDoRequest(c.http(), requete, ("/printers/" + file).c_str()));
  ipp_attribute_t* numero = reponse ? ippFindAttribute(reponse.get(), "job-id", IPP_TAG_INTEGER) : nullptr;
  return numero ? ippGetInteger(numero, 0) : 0;
}

}  // namespace

int soumet_travail(const file_decrite& decrite, const std::string& nom, int32_t copies, int32_t pages,
                   const QByteArray& document, std::chrono::milliseconds delai) {
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
  const int travail = cree_travail(c, file, nom, nombre_options, options);
  cupsFreeOptions(nombre_options, options);
  if (!reussi(cupsLastError()) || travail <= 0 || c.rompue()) c.echoue(designation(file) + " refuse le travail");

  annulation_sur_echec annulation(file, travail, delai);
  if (cupsStartDocument(c.http(), file.c_str(), travail, nom.c_str(), type_document(format), 1) != HTTP_STATUS_CONTINUE)
    c.echoue(designation(file) + " refuse le document");
  for (int32_t i = 0; i < pages; ++i) {
    const qsizetype debut = i == 0 ? 0 : format == format_envoi::pwg ? synchro_pwg : synchro_raster_cups;
    if (cupsWriteRequestData(c.http(), document.constData() + debut, static_cast<size_t>(document.size() - debut)) !=
        HTTP_STATUS_CONTINUE)
      c.echoue("envoi du document à " + designation(file) + " interrompu");
  }
  if (!reussi(cupsFinishDocument(c.http(), file.c_str())) || c.rompue())
    c.echoue(designation(file) + " n'a pas accepté le document");
  annulation.desarme();
  return travail;
}

}  // namespace agent
