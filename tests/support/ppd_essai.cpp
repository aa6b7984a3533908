#include "tests/support/ppd_essai.h"

#include <sstream>

namespace agent::essai {

std::string ppd_essai(int32_t resolution, const std::string& papier, bool postscript) {
  std::ostringstream t;
  t << "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n"
       "*LanguageEncoding: ISOLatin1\n*PCFileName: \"ESSAI.PPD\"\n*Manufacturer: \"Essai\"\n"
       "*Product: \"(Essai)\"\n*ModelName: \"Essai\"\n*ShortNickName: \"Essai\"\n*NickName: \"Essai\"\n"
       "*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n*ColorDevice: True\n*DefaultColorSpace: RGB\n"
       "*FileSystem: False\n*Throughput: \"1\"\n*LandscapeOrientation: Plus90\n*TTRasterizer: Type42\n";
  if (!postscript) t << "*cupsFilter: \"application/pdf 0 -\"\n";
  t << "*OpenUI *Resolution/Resolution: PickOne\n*OrderDependency: 10 AnySetup *Resolution\n"
    << "*DefaultResolution: " << resolution << "dpi\n";
  for (int r : {150, 300, 600, 1200}) {
    t << "*Resolution " << r << "dpi/" << r << " dpi: \"<</HWResolution[" << r << " " << r << "]>>setpagedevice\"\n";
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
