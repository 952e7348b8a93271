// Every resource of a file written below a folder, as ovlix-resx extract
// does: one folder per list, one file per resource in its saved form, and
// string tables and menus also as .txt listings beside the raw .bin.
#pragma once

#include <functional>
#include <string>

#include "resx/ExeImage.h"

// Each problem goes to `report`: a resource that cannot be read (its path,
// then why), a file that cannot be written, damage met by the walk. The
// other resources are written all the same. Each file is written whole
// under a temporary name and renamed, and nothing is flushed to disk one
// file at a time: a fresh folder needs no such care, and a library holds
// thousands of resources. Damage only when the file has no resources (or
// was not opened).
Damage ExtractResources(TExeImage& image, const std::string& dir,
                        const std::function<void(const std::string&)>& report);
