#pragma once
// The machine's default paper size, for a printer that reports none of its own. The print
// scheduler takes its default from the same place (the system paper setting: the PAPERSIZE
// variable or /etc/papersize), so a page built with it matches what the scheduler assumes.

#include <QPageSize>

namespace agent {

QPageSize papier_systeme();

}  // namespace agent
