#include "report/RenderHtml.h"

#include "report/HtmlPageWriter.h"

namespace vok {

std::string RenderHtml(const ReportData& report, const DefinitionFile& definitions) {
    return HtmlPageWriter(report, definitions).Page();
}

}  // namespace vok
