#include "app/sortie_journal.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <syslog.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/journal.h"

namespace agent {

namespace {

QtMessageHandler precedent = nullptr;
const char* prefixe = "";
bool vers_journal = false;

// Qt's own test for a console: a controlling terminal, or else stderr itself a terminal.
bool console() {
  const int terminal = ::open("/dev/tty", O_RDONLY | O_CLOEXEC);
  if (terminal >= 0) {
    ::close(terminal);
    return true;
  }
  return (errno == ENOENT || errno == EPERM || errno == ENXIO) && ::isatty(STDERR_FILENO);
}

// journald answers on its syslog socket, the one /dev/log leads to. A socket file left behind by a
// journald that stopped refuses the connection.
bool journald_present() {
  const int prise = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (prise < 0) return false;
  sockaddr_un adresse{};
  adresse.sun_family = AF_UNIX;
  std::strncpy(adresse.sun_path, "/run/systemd/journal/dev-log", sizeof adresse.sun_path - 1);
  const bool joint = ::connect(prise, reinterpret_cast<const sockaddr*>(&adresse), sizeof adresse) == 0;
  ::close(prise);
  return joint;
}

int priorite(QtMsgType type) {
  switch (type) {
    case QtDebugMsg: return LOG_DEBUG;
    case QtInfoMsg: return LOG_INFO;
    case QtWarningMsg: return LOG_WARNING;
    case QtCriticalMsg: return LOG_ERR;
    case QtFatalMsg: return LOG_CRIT;
  }
  return LOG_INFO;
}

void ecrit(QtMsgType type, const QMessageLogContext& contexte, const QString& message) {
  const bool du_journal = contexte.category && std::strcmp(contexte.category, journal_agent().categoryName()) == 0;
  const QByteArray texte = message.toUtf8();
  if (vers_journal) {
    if (du_journal)
      ::syslog(priorite(type), "%s", texte.constData());
    else
      ::syslog(priorite(type), "%s: %s", contexte.category ? contexte.category : "qt", texte.constData());
    // QtInfoMsg comes after QtFatalMsg in Qt's numbering: no comparison of levels.
    if (!du_journal || (type != QtCriticalMsg && type != QtFatalMsg)) return;
  } else if (!du_journal) {
    precedent(type, contexte, message);
    return;
  }
  std::fprintf(stderr, "%s : %s\n", prefixe, texte.constData());
  std::fflush(stderr);
}

}  // namespace

void installe_sortie_journal(const char* identifiant) {
  prefixe = identifiant;
  vers_journal = !qEnvironmentVariableIntValue("QT_FORCE_STDERR_LOGGING") && !console() && journald_present();
  if (vers_journal) ::openlog(identifiant, LOG_PID, LOG_USER);  // keeps the pointer: the caller's stays valid
  precedent = qInstallMessageHandler(ecrit);
}

bool journal_systeme() { return vers_journal; }

}  // namespace agent
