// Any bytes as a report file, rendered with the example definition file: the
// page must come out without a crash or undefined behaviour, and what the
// file says must never open a tag of its own.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "report/DefinitionFile.h"
#include "report/RenderHtml.h"
#include "report/ReportFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const vok::DefinitionFile definitions =
        vok::DefinitionFile::Load(VOK_EXAMPLES_DIR "/CFG/VOK.DEFINE");
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const vok::Result<vok::ReportData> report = vok::ReportFileReader::Parse(bytes);
    if (!report) {
        return 0;
    }
    const std::string page = vok::RenderHtml(*report, definitions);
    if (page.find("<script") != std::string::npos) {
        std::abort();
    }
    return 0;
}
