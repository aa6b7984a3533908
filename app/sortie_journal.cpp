#include "app/sortie_journal.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <syslog.h>
#include <unistd.h>

#include <QByteArray>
#include <QLoggingCategory>
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

// Qt's own messages, which do not come from the record.
void ecrit_qt(QtMsgType type, const QMessageLogContext& contexte, const QString& message) {
  if (!vers_journal) {
    precedent(type, contexte, message);
    return;
  }
  const QByteArray texte = message.toUtf8();
  ::syslog(priorite(type), "%s: %s", contexte.category ? contexte.category : "qt", texte.constData());
}

int priorite(niveau_journal niveau) {
  switch (niveau) {
    case niveau_journal::debug: return LOG_DEBUG;
    case niveau_journal::info: return LOG_INFO;
    case niveau_journal::avertissement: return LOG_WARNING;
    case niveau_journal::critique: return LOG_ERR;
  }
  return LOG_INFO;
}

void ecrit(niveau_journal niveau, const char* ligne) {
  if (vers_journal) {
    ::syslog(priorite(niveau), "%s", ligne);
    if (niveau != niveau_journal::critique) return;
  }
  std::fprintf(stderr, "%s : %s\n", prefixe, ligne);
  std::fflush(stderr);
}

}  // namespace

void installe_sortie_journal(const char* identifiant) {
  prefixe = identifiant;
  vers_journal = !qEnvironmentVariableIntValue("QT_FORCE_STDERR_LOGGING") && !console() && journald_present();
  if (vers_journal) ::openlog(identifiant, LOG_PID, LOG_USER);  // keeps the pointer: the caller's stays valid
  precedent = qInstallMessageHandler(ecrit_qt);
  // Debug lines as Qt's logging rules ask for them, under the program's name:
  // QT_LOGGING_RULES="agent_impression.debug=true".
  const QLoggingCategory categorie(identifiant, QtInfoMsg);
  installe_sortie(ecrit, categorie.isDebugEnabled());
}

}  // namespace agent
