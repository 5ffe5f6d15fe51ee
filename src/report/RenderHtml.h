#pragma once

#include <string>

#include "report/DefinitionFile.h"
#include "report/ReportData.h"

namespace vok {

// The HTML report of one report file's data, with the definitions' texts for
// its error, command and tube codes: the whole page as one line without line
// breaks. Pure: it reads nothing but its arguments and writes nothing, so the
// wizard, `vok report` and the service center show a report alike.
std::string RenderHtml(const ReportData& report, const DefinitionFile& definitions);

}  // namespace vok
