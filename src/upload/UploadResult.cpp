#include "upload/UploadResult.h"

namespace vok {

Result<bool> UploadResult::ToResult() const {
    if (!error.empty()) {
        return Error{error};
    }
    return outcome == Outcome::Accepted;
}

}  // namespace vok
