#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "report/ValueFormat.h"

namespace vok {

// Entry `code` of a fixed text list, or "&nbsp;" for any code beyond it. The
// test is unsigned, so a negative code is beyond the list as well.
class DecoderList {
public:
    template <std::size_t N>
    static std::string Pick(const std::string_view (&list)[N], int code) {
        const auto index = static_cast<unsigned>(code);
        return std::string(index < N ? list[index] : kNbsp);
    }
};

}  // namespace vok
