#include "cups/travaux_agent.h"

#include <cstring>
#include <map>

#include "core/erreur.h"
#include "core/journal.h"
#include "cups/description_file.h"

namespace agent {

namespace {

constexpr const char* attributs_travail[] = {
    "job-id",          "job-uuid", "job-state", "job-state-reasons", "job-state-message", "number-of-documents",
    "job-printer-uri", "job-name"};

// A job as the scheduler describes it.
struct vu_travail {
  travail_retenu t;
  ipp_jstate_t etat = IPP_JSTATE_PENDING;
  std::string raisons;  // job-state-reasons, then job-state-message
};

std::string texte(ipp_attribute_t* a) {
  std::string resultat;
  for (int i = 0; a && i < ippGetCount(a); ++i) {
    const char* v = ippGetString(a, i, nullptr);
    if (!v || !*v) continue;
    resultat += (resultat.empty() ? "" : ",") + std::string(v);
  }
  return resultat;
}

// The last segment of "ipp://localhost/printers/QLS4100" (or /classes/…).
std::string file_de_l_uri(const char* uri) {
  if (!uri) return {};
  const char* barre = std::strrchr(uri, '/');
  return barre ? barre + 1 : uri;
}

// Every job of the answer, in its order.
std::vector<vu_travail> travaux_de(ipp_t* reponse) {
  std::vector<vu_travail> resultat;
  vu_travail courant;
  bool present = false;
  const auto termine = [&] {
    if (present && courant.t.travail > 0) resultat.push_back(courant);
    courant = {};
    present = false;
  };
  for (ipp_attribute_t* a = ippFirstAttribute(reponse); a; a = ippNextAttribute(reponse)) {
    const char* nom = ippGetName(a);
    if (!nom) termine();  // the separator between two jobs
    if (!nom || ippGetGroupTag(a) != IPP_TAG_JOB) continue;
    present = true;
    if (std::strcmp(nom, "job-id") == 0) courant.t.travail = ippGetInteger(a, 0);
    if (std::strcmp(nom, "job-uuid") == 0) courant.t.uuid = texte(a);
    if (std::strcmp(nom, "job-name") == 0) courant.t.nom = texte(a);
    if (std::strcmp(nom, "job-state") == 0) courant.etat = static_cast<ipp_jstate_t>(ippGetInteger(a, 0));
    if (std::strcmp(nom, "number-of-documents") == 0) courant.t.document_recu = ippGetInteger(a, 0) > 0;
    if (std::strcmp(nom, "job-printer-uri") == 0) courant.t.file = file_de_l_uri(ippGetString(a, 0, nullptr));
    if (std::strcmp(nom, "job-state-reasons") == 0 || std::strcmp(nom, "job-state-message") == 0) {
      const std::string t = texte(a);
      if (!t.empty() && t != "none") courant.raisons += (courant.raisons.empty() ? "" : " ; ") + t;
    }
  }
  termine();
  return resultat;
}

// The user's jobs that have not ended, or job `travail` alone (which ever its state).
ipp_t* demande_travaux(int travail) {
  ipp_t* d = ippNewRequest(travail > 0 ? IPP_OP_GET_JOB_ATTRIBUTES : IPP_OP_GET_JOBS);
  if (travail > 0) {
    ippAddString(d, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr,
                 ("ipp://localhost/jobs/" + std::to_string(travail)).c_str());
  } else {
    ippAddString(d, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, "ipp://localhost/");
    ippAddString(d, IPP_TAG_OPERATION, IPP_CONST_TAG(IPP_TAG_KEYWORD), "which-jobs", nullptr, "not-completed");
    ippAddBoolean(d, IPP_TAG_OPERATION, "my-jobs", 1);
  }
  ippAddString(d, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
  ippAddStrings(d, IPP_TAG_OPERATION, IPP_CONST_TAG(IPP_TAG_KEYWORD), "requested-attributes",
                static_cast<int>(std::size(attributs_travail)), nullptr, attributs_travail);
  return d;
}

// Nothing when the scheduler does not answer. Throws nothing.
std::optional<std::vector<vu_travail>> demande(http_t* http, int travail = 0) {
  const reponse_ipp reponse(cupsDoRequest(http, demande_travaux(travail), "/"));
  const ipp_status_t statut = cupsLastError();
  if (httpError(http) != 0 || (!reussi(statut) && statut != IPP_STATUS_ERROR_NOT_FOUND)) return std::nullopt;
  return travaux_de(reponse.get());
}

void agit(const connexion& c, const travail_retenu& t, ipp_op_t operation, const std::string& quoi) {
  ipp_t* d = ippNewRequest(operation);
  ippAddString(d, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr,
               ("ipp://localhost/jobs/" + std::to_string(t.travail)).c_str());
  ippAddString(d, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
  const reponse_ipp reponse(cupsDoRequest(c.http(), d, "/jobs/"));
  if (!reussi(cupsLastError()) || c.rompue())
    c.echoue(designation(t.file) + " : " + quoi + " du travail " + std::to_string(t.travail) + " impossible");
}

// A queue's state as it bears on the jobs waiting in it.
struct etat_file {
  bool arretee = false;
  bool refuse = false;
  std::string defauts;  // printer-state-reasons that report a fault
  std::string message;
};

// Every queue's state, by name; nothing when the scheduler does not answer. Throws nothing.
std::optional<std::map<std::string, etat_file>> etats_files(http_t* http) {
  constexpr const char* attributs[] = {"printer-name", "printer-state", "printer-state-reasons",
                                       "printer-is-accepting-jobs", "printer-state-message"};
  ipp_t* d = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
  ippAddStrings(d, IPP_TAG_OPERATION, IPP_CONST_TAG(IPP_TAG_KEYWORD), "requested-attributes",
                static_cast<int>(std::size(attributs)), nullptr, attributs);
  const reponse_ipp reponse(cupsDoRequest(http, d, "/"));
  const ipp_status_t statut = cupsLastError();
  if (httpError(http) != 0 || (!reussi(statut) && statut != IPP_STATUS_ERROR_NOT_FOUND)) return std::nullopt;
  std::map<std::string, etat_file> resultat;
  std::string nom;
  etat_file courant;
  const auto termine = [&] {
    if (!nom.empty()) resultat[nom] = courant;
    nom.clear();
    courant = {};
  };
  for (ipp_attribute_t* a = ippFirstAttribute(reponse.get()); a; a = ippNextAttribute(reponse.get())) {
    const char* attribut = ippGetName(a);
    if (!attribut) termine();
    if (!attribut || ippGetGroupTag(a) != IPP_TAG_PRINTER) continue;
    if (std::strcmp(attribut, "printer-name") == 0) nom = texte(a);
    if (std::strcmp(attribut, "printer-state") == 0) courant.arretee = ippGetInteger(a, 0) == IPP_PSTATE_STOPPED;
    if (std::strcmp(attribut, "printer-is-accepting-jobs") == 0) courant.refuse = !ippGetBoolean(a, 0);
    if (std::strcmp(attribut, "printer-state-message") == 0) courant.message = texte(a);
    if (std::strcmp(attribut, "printer-state-reasons") == 0) {
      for (int i = 0; i < ippGetCount(a); ++i) {
        const std::string r = ippGetString(a, i, nullptr) ? ippGetString(a, i, nullptr) : "";
        // "-report" is news, not a fault; a stopped queue says "paused", which arretee tells already.
        if (r.empty() || r == "none" || r == "paused" || r.ends_with("-report")) continue;
        courant.defauts += (courant.defauts.empty() ? "" : ",") + r;
      }
    }
  }
  termine();
  return resultat;
}

fin_travail fin_de(ipp_jstate_t etat) {
  switch (etat) {
    case IPP_JSTATE_COMPLETED: return fin_travail::terminee;
    case IPP_JSTATE_CANCELED: return fin_travail::annulee;
    case IPP_JSTATE_ABORTED: return fin_travail::abandonnee;
    default: return fin_travail::aucune;
  }
}

}  // namespace

travaux_en_cours travaux_du_serveur(const connexion& c, const std::string& prefixe) {
  const std::optional<std::vector<vu_travail>> vus = demande(c.http());
  if (!vus) c.echoue("la liste des travaux en cours est indisponible");
  travaux_en_cours resultat;
  for (const vu_travail& v : *vus) {
    if (!v.t.uuid.starts_with(prefixe)) continue;
    resultat.vivants.push_back(v.t);
    if (v.etat == IPP_JSTATE_HELD) resultat.retenus.push_back(v.t);
  }
  return resultat;
}

void libere(const connexion& c, const travail_retenu& t) { agit(c, t, IPP_OP_RELEASE_JOB, "la libération"); }

void annule(const connexion& c, const travail_retenu& t) { agit(c, t, IPP_OP_CANCEL_JOB, "l'annulation"); }

// A connection of its own, with its own deadline, for what must throw nothing.
class connexion_discrete {
public:
  explicit connexion_discrete(std::chrono::milliseconds delai)
      : echeance_(horloge::now() + delai), http_(connecte(delai, &echeance_)) {}
  ~connexion_discrete() {
    if (http_) httpClose(http_);
  }
  connexion_discrete(const connexion_discrete&) = delete;
  connexion_discrete& operator=(const connexion_discrete&) = delete;
  http_t* http() const { return http_; }

private:
  horloge::time_point echeance_;
  http_t* http_;
};

std::optional<bool> document_recu(int travail, std::chrono::milliseconds delai) {
  const connexion_discrete c(delai);
  if (!c.http()) return std::nullopt;
  const std::optional<std::vector<vu_travail>> vus = demande(c.http(), travail);
  if (!vus) return std::nullopt;
  return !vus->empty() && vus->front().t.document_recu;
}

void annule_sans_numero(const std::string& uuid, std::chrono::milliseconds delai) {
  const connexion_discrete c(delai);
  if (!c.http()) return;
  if (const std::optional<std::vector<vu_travail>> vus = demande(c.http()))
    for (const vu_travail& v : *vus)
      if (v.t.uuid == uuid) {
        const bool annule = reussi(cupsCancelJob2(c.http(), v.t.file.c_str(), v.t.travail, 0));
        note_info(
            "travail annulé : file=%s travail=%d raison=%s", champ(v.t.file).c_str(), v.t.travail,
            champ(annule ? "créé sans réponse, resté sans document" : "créé sans réponse, annulation refusée").c_str());
      }
}

std::optional<std::vector<nouvelles_travail>> nouvelles_du_serveur(const std::vector<travail_retenu>& travaux,
                                                                   std::chrono::milliseconds delai) {
  const connexion_discrete c(delai);
  if (!c.http()) return std::nullopt;
  const std::optional<std::vector<vu_travail>> vivants = demande(c.http());
  if (!vivants) return std::nullopt;
  std::map<int, const vu_travail*> par_numero;
  for (const vu_travail& v : *vivants) par_numero[v.t.travail] = &v;
  std::optional<std::map<std::string, etat_file>> files;
  std::vector<nouvelles_travail> resultat;
  for (const travail_retenu& t : travaux) {
    nouvelles_travail n;
    n.file = t.file;
    n.travail = t.travail;
    const auto trouve = par_numero.find(t.travail);
    if (trouve == par_numero.end()) {
      // Ended since the last look: how, the job alone says.
      const std::optional<std::vector<vu_travail>> seul = demande(c.http(), t.travail);
      if (!seul) return std::nullopt;
      n.fin = seul->empty() ? fin_travail::terminee : fin_de(seul->front().etat);
      if (!seul->empty()) n.raison = seul->front().raisons;
      if (n.fin == fin_travail::aucune) n.fin = fin_travail::terminee;
    } else {
      if (!files) files = etats_files(c.http());
      if (!files) return std::nullopt;
      n.raison = trouve->second->raisons;
      if (const auto f = files->find(t.file); f != files->end()) {
        n.file_arretee = f->second.arretee;
        n.file_fermee = f->second.refuse;
        n.message_file = f->second.message;
        n.defauts = f->second.defauts;
      }
      const ipp_jstate_t etat = trouve->second->etat;
      n.travail_arrete = etat == IPP_JSTATE_HELD || etat == IPP_JSTATE_STOPPED;
    }
    resultat.push_back(std::move(n));
  }
  return resultat;
}

}  // namespace agent
