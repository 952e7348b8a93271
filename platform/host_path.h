// Win32 paths on the host: "\" separates like "/", and names match without
// regard to (ASCII) case, so "data\Tipy\A.DAT" finds "data/tipy/a.dat".
#pragma once

#include <string>

namespace platform {

// The path with "/" separators; each component that does not exist as
// spelled is replaced by the first entry of its folder that matches it
// without regard to case. Components with no match are kept as spelled.
std::string ResolveHostPath(std::string path);

}  // namespace platform
