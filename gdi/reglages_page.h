#pragma once
// A document's settings for a Windows printer and the device context they make: its DEVMODE,
// with the copy count, colour, and no colour management (the driver must get the exact colours),
// and the page in device pixels.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace agent {

struct reglages_page {
  std::wstring imprimante;
  std::vector<BYTE> devmode;  // a DEVMODEW and the driver's private part after it
  const DEVMODEW* mode() const { return reinterpret_cast<const DEVMODEW*>(devmode.data()); }
};

// The printer's own defaults with `copies` copies in colour, ICM off. "Valeur de propriété
// incorrecte" when the driver does not keep that copy count; the spooler's error when the printer
// cannot be asked.
reglages_page regle_page(const std::wstring& imprimante, int16_t copies);

// A printer's device context for `reglages` and where its page lies: the sheet in device pixels
// and the offset of the printable area (the DC's origin) on it. A dot at device pixel (x, y) of
// the sheet is drawn at (x - decalage_x, y - decalage_y) of the DC.
class contexte_page {
public:
  explicit contexte_page(const reglages_page& reglages);  // throws the spooler's error
  ~contexte_page();
  contexte_page(const contexte_page&) = delete;
  contexte_page& operator=(const contexte_page&) = delete;

  HDC dc() const { return dc_; }
  int32_t largeur() const { return largeur_; }
  int32_t hauteur() const { return hauteur_; }
  int32_t decalage_x() const { return decalage_x_; }
  int32_t decalage_y() const { return decalage_y_; }

private:
  HDC dc_ = nullptr;
  int32_t largeur_ = 0, hauteur_ = 0, decalage_x_ = 0, decalage_y_ = 0;
};

}  // namespace agent
