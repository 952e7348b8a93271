// A whole icon or cursor group (RT_GROUP_ICON, RT_GROUP_CURSOR) as one .ICO
// or .CUR file, the form icon editors, file managers and game launchers take.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "resx/ExeImage.h"

// Every image the group names, in the group's order, each stored as it is
// in the library (PNG images as PNG), behind a directory of the group's
// entries with the file's offsets: width, height, colours, planes and bit
// count for icons, the hot spot for cursors. The images are those the walk
// finds below the group (resource_walk.h). Images the group names but the
// library lacks are left out and their ids added to `missing`. Damage for
// a group or image that cannot be read, and when the group has no image at
// all.
Read<std::string> GroupIconFile(TIconResource& group, std::vector<std::uint16_t>& missing);

// The group Windows shows for a file: the first icon group in resource
// order, in its first language; nullptr when the file has none. Damaged
// as WalkResources is.
Read<TIconResource*> FirstIconGroup(TExeImage& image);
