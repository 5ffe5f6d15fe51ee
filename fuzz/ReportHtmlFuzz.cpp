// Any bytes as a report file, rendered with the example definition file: the
// page must come out without a crash or undefined behaviour, and what the
// file says must never open a tag of its own.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/ProfileFile.h"
#include "report/DefinitionFile.h"
#include "report/ReportFileReader.h"
#include "report/ReportRenderer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const vok::DefinitionFile definitions =
        vok::DefinitionFile::Load(VOK_EXAMPLES_DIR "/CFG/VOK.DEFINE");
    const std::string text(reinterpret_cast<const char*>(data), size);
    vok::ReportData report = vok::ReportFileReader::ReadReportFile(vok::ProfileFile::Parse(text));
    const vok::ReportRenderer renderer(std::move(report), definitions);
    const std::string page = renderer.RenderHtml();
    if (page.find("<script") != std::string::npos) {
        std::abort();
    }
    return 0;
}
