#pragma once
// PPD files for the private scheduler's queues, with the resolution and default paper a test
// asks for; both offer A4 and Letter at the sizes driver PPDs give them (A4 as 595 × 842 points).

#include <cstdint>
#include <string>

namespace agent::essai {

// `papier`: "A4" or "Letter". Transparent: PDF reaches the device as it came, and the whole sheet
// is printable. PostScript: the scheduler's filters turn the page into PostScript for the device,
// and the printable area stops 12 points short of every edge.
std::string ppd_essai(int32_t resolution, const std::string& papier, bool postscript);

}  // namespace agent::essai
