// The whole resource tree as the explorer shows it, depth first: types,
// resources, group images. Each node has a path from the root made of the
// display names ("/" and "%" in a name written %2F and %25; a name met
// again among its siblings gets "~2", "~3", ...), so a node can be found
// again by its path.
//
// Walked with every language, each resource that has a directory of
// languages is a list of its languages instead, each language a node named
// by its LANGID in four upper-case hexadecimal digits (Version/1/0409).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "resx/ExeImage.h"

// What the walk does after a node was visited: go into its sub-tree, pass
// over it, or stop.
enum class WalkOn { Into, Over, Stop };

struct WalkNode {
  TResourceItem* item;
  std::string path;
  std::string_view name;      // valid while the node is visited
  std::string_view typeName;  // valid while the node is visited; of a type, its own name
  std::uint32_t offset = 0;
  std::uint32_t size = 0;
  bool list = false;
  // Whether it is a list, its offset or its size could not be read: the
  // walk's errors say why, and nothing more of it can be read.
  bool damaged = false;
  int depth = 0;               // 0 for a type
  WalkOn next = WalkOn::Into;  // a visit may set it
};

// A visit may take the node as `const WalkNode&` when it walks everything.
using WalkVisit = std::function<void(WalkNode&)>;

enum class WalkLanguages { Standing, Every };

// The damage of a damaged file is collected in `errors` (made into
// messages only when they are shown) and the walk goes on
// with what can be read. Damage only when the file has no resources (or
// its section cannot be read): then nothing is visited.
Damage WalkResources(TExeImage& image, const WalkVisit& visit, std::vector<Damage>& errors,
                     WalkLanguages languages = WalkLanguages::Standing);

// The nodes below one list (a group's images, say) as WalkResources walks
// them there, their paths from the list.
void WalkList(TResourceList& list, const WalkVisit& visit, std::vector<Damage>& errors);

// The node at `path`, or nullptr; a path of the walk with every language
// (Type/Name/LANGID) is found too. Damaged as WalkResources is.
Read<TResourceItem*> FindResource(TExeImage& image, const std::string& path);
