#pragma once
// The agent's modal messages on Windows, titled with the program's name.

#include <windows.h>

#include <string>

namespace agent {

// OK only, returns once it is closed: by the operator, or after `delai_ms` when it is above 0.
// `icone`: MB_ICONINFORMATION, MB_ICONERROR.
void montre_message(HWND parent, const std::string& texte, UINT icone, int delai_ms = 0);

}  // namespace agent
