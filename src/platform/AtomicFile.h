#pragma once

#include <string>
#include <string_view>

#include "core/Result.h"

namespace vok {

// Replaces a file as a whole: the bytes go into a new file of an
// unpredictable name beside the target (created exclusively, so it can never
// be a file or link someone planted), are flushed to the disk, and only then
// renamed over the target. Readers see the old file or the new one, never a
// part; a link standing at the target's name is replaced, never written
// through; on failure the old file stays as it was and nothing is left behind.
class AtomicFile {
public:
    // On failure the reason is the failing call's own ("No space left on
    // device", "Is a directory"), without the path: callers name the file.
    static Status Write(const std::string& path, std::string_view bytes);

    // What becomes of an entry already at the name.
    enum class IfPresent { Replace, Keep };

    // The same inside a folder already open (`folder`, a descriptor), with
    // `name` relative to it, so nothing on the way to the folder is looked up
    // again. With Keep, an entry already at the name stays as it is and the
    // new bytes are dropped; that is no error. The folder's own entry is not
    // synced: the caller owns the folder.
    static Status WriteAt(int folder, const std::string& name, std::string_view bytes,
                          IfPresent ifPresent = IfPresent::Replace);
};

}  // namespace vok
