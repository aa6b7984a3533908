#pragma once
// What a queue's PPD says about the way a page reaches its printer, for the choice between
// sending PDF, PWG raster and CUPS raster.

#include <string_view>

namespace agent {

struct pilote_file {
  // `*cupsFilter2: "image/pwg-raster image/pwg-raster … -"`: PWG raster goes to the printer as it
  // came, through no filter. Driverless queues have it; a driver's queue has its own device format
  // instead, and a raw queue has no PPD at all.
  bool transmet_pwg = false;
  // A `*cupsFilter2` (or, in a PPD without any, a `*cupsFilter`) whose input is
  // application/vnd.cups-raster: the driver takes CUPS raster, which the agent can write itself
  // instead of having the server render the page.
  bool prend_raster_cups = false;
  // `*cupsManualCopies: True`: the printer makes no copies of what it gets, so copies must be
  // pages of the document. The filters see to it for PDF; a page that passes no filter carries
  // them itself.
  bool copies_en_pages = false;
};

// An empty or unreadable PPD says neither.
pilote_file lit_pilote(std::string_view ppd);

}  // namespace agent
