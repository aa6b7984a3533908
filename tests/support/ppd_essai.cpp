#include "tests/support/ppd_essai.h"

#include <sstream>

namespace agent::essai {

namespace {

// The colour option of a raster driver, its choices setting the page's colour space
// (cupsColorSpace 1 RGB, 6 CMYK, 18 sGray), chunky order, and depth.
void options_couleur(std::ostringstream& t, const pilote& p) {
  const auto choix = [&](const char* option, const char* nom, int espace, int bits) {
    t << "*" << option << " " << nom << ": \"<</cupsColorSpace " << espace << "/cupsColorOrder 0/cupsBitsPerColor "
      << bits << ">>setpagedevice\"\n";
  };
  const char* option = p.mode_couleur_monochrome ? "ColorMode" : "ColorModel";
  const bool cmjn = p.espace == espace_raster::cmjn_1;
  t << "*OpenUI *" << option << ": PickOne\n*OrderDependency: 10 AnySetup *" << option << "\n*Default" << option << ": "
    << (p.mode_couleur_monochrome ? "Monochrome"
        : cmjn                    ? "CMYK"
                                  : "RGB")
    << "\n";
  choix(option, p.mode_couleur_monochrome ? "Monochrome" : "Gray", 18, cmjn ? 1 : 8);
  choix(option, p.mode_couleur_monochrome ? "Color" : cmjn ? "CMYK" : "RGB", cmjn ? 6 : 1, cmjn ? 1 : 8);
  t << "*CloseUI: *" << option << "\n";
}

}  // namespace

std::string ppd_essai(const pilote& p) {
  const bool postscript = p.sorte == sorte_file::postscript, raster = p.sorte == sorte_file::pilote_raster;
  const int32_t resolution = p.resolution;
  const std::string& papier = p.papier;
  const std::string resolution_defaut = p.resolution_y && p.resolution_y != resolution
                                            ? std::to_string(resolution) + "x" + std::to_string(p.resolution_y)
                                            : std::to_string(resolution);
  std::ostringstream t;
  t << "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n"
       "*LanguageEncoding: ISOLatin1\n*PCFileName: \"ESSAI.PPD\"\n*Manufacturer: \"Essai\"\n"
       "*Product: \"(Essai)\"\n*ModelName: \"Essai\"\n*ShortNickName: \"Essai\"\n*NickName: \"Essai\"\n"
       "*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n*DefaultColorSpace: RGB\n"
       "*FileSystem: False\n*Throughput: \"1\"\n*LandscapeOrientation: Plus90\n*TTRasterizer: Type42\n";
  t << "*ColorDevice: " << (p.couleur ? "True" : "False") << "\n";
  if (raster) {
    t << "*cupsFilter: \"application/vnd.cups-raster 0 -\"\n*cupsManualCopies: True\n";
    options_couleur(t, p);
  } else if (!postscript) {
    t << "*cupsFilter: \"application/pdf 0 -\"\n";
  }
  t << "*OpenUI *Resolution/Resolution: PickOne\n*OrderDependency: 10 AnySetup *Resolution\n"
    << "*DefaultResolution: " << resolution_defaut << "dpi\n";
  for (int r : {150, 300, 600, 1200}) {
    t << "*Resolution " << r << "dpi/" << r << " dpi: \"<</HWResolution[" << r << " " << r << "]>>setpagedevice\"\n";
  }
  if (resolution_defaut.find('x') != std::string::npos) {
    t << "*Resolution " << resolution_defaut << "dpi/" << resolution_defaut << " dpi: \"<</HWResolution[" << resolution
      << " " << p.resolution_y << "]>>setpagedevice\"\n";
  }
  t << "*CloseUI: *Resolution\n";
  const char* formats[][2] = {{"A4", "595 842"}, {"Letter", "612 792"}};
  for (const char* mot : {"PageSize", "PageRegion"}) {
    t << "*OpenUI *" << mot << ": PickOne\n*OrderDependency: 10 AnySetup *" << mot << "\n*Default" << mot << ": "
      << papier << "\n";
    for (auto& f : formats) t << "*" << mot << " " << f[0] << ": \"<</PageSize[" << f[1] << "]>>setpagedevice\"\n";
    t << "*CloseUI: *" << mot << "\n";
  }
  t << "*DefaultImageableArea: " << papier << "\n*DefaultPaperDimension: " << papier << "\n";
  const char* marges[][2] = {{"A4", "12 12 583 830"}, {"Letter", "12 12 600 780"}};
  for (size_t i = 0; i < 2; ++i) {
    t << "*ImageableArea " << formats[i][0] << ": \""
      << (postscript ? marges[i][1] : std::string("0 0 ") + formats[i][1]) << "\"\n*PaperDimension " << formats[i][0]
      << ": \"" << formats[i][1] << "\"\n";
  }
  return t.str();
}

}  // namespace agent::essai
