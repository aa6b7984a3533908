#pragma once
// Letter case by Unicode's rules, whatever the locale and the platform: the printers' names are
// compared in upper case (é → É, ß → SS), the job files listed without regard to case. Text is
// UTF-8; a byte that is not part of a well-formed sequence counts as U+FFFD.

#include <string>
#include <string_view>

namespace agent {

// `texte` in upper case by Unicode's full, unconditional mappings.
std::string majuscules(std::string_view texte);

// Negative, zero or positive as `a` sorts before, with or after `b` once both are case-folded
// (Unicode's simple folding), code point by code point.
int compare_sans_casse(std::string_view a, std::string_view b);

}  // namespace agent
