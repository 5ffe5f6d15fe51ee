#pragma once

#include <string>
#include <string_view>

#include "center/IndexedReport.h"
#include "core/Result.h"
#include "report/DefinitionFile.h"

namespace vok::center {

// Turns the bytes of an uploaded or imported file into what the center
// stores, through the same reader and decoders as the HTML report. It is
// the one gate every report passes: upload and import share it.
class ReportIndexer {
public:
    explicit ReportIndexer(std::size_t maxBytes) : m_maxBytes(maxBytes) {}

    // Refuses, with a one-line reason, anything that is not a report file:
    // too big, no [DIAGNOSIS] or [CONSOLE] section, or a record section
    // missing (a file cut short). The definitions name the error codes.
    Result<IndexedReport> Index(std::string content, std::string_view sentName,
                                const DefinitionFile& definitions) const;

    // The last part of a path written with "/" or "\" (Windows clients send
    // full paths); "" stays "".
    static std::string BaseName(std::string_view path);
    // "2009/07/14" and "14:17:07" as "2009-07-14T14:17:07", or "".
    static std::string IsoDateTime(std::string_view date, std::string_view time);
    static std::string Sha256Hex(std::string_view bytes);
    static std::string UtcNow();

private:
    std::size_t m_maxBytes;
};

}  // namespace vok::center
