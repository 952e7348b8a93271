#include "resx/resource_walk.h"

#include <algorithm>
#include <memory>
#include <span>

namespace {

// Appends a display name as a path component.
void AppendEscaped(std::string& out, const std::string& name) {
  if (std::none_of(name.begin(), name.end(), [](char c) { return c == '%' || c == '/'; })) {
    out += name;
    return;
  }
  for (char c : name) {
    if (c == '%')
      out += "%25";
    else if (c == '/')
      out += "%2F";
    else
      out += c;
  }
}

struct Sibling {
  TResourceItem* item = nullptr;
  std::string name;
  std::uint32_t offset = 0;
  std::uint32_t size = 0;
  bool list = false;
  std::size_t repeat = 1;  // the n-th sibling of this name, in file order
};

class Walker {
 public:
  Walker(const std::function<void(const WalkNode&)>& visit, std::vector<std::string>& errors)
      : visit_(visit), errors_(errors) {}

  void Walk(TResourceList& list, const std::string& prefix, int depth) {
    std::span<TResourceItem* const> items;
    try {
      items = list.Items();
    } catch (const EExeError& e) {
      errors_.push_back(e.what());
      items = list.Items();  // what was read before the damage
    }
    Level& level = At(depth);
    WalkNode& node = level.node;
    node.depth = depth;
    // the items of a list share their owner, and so their type name
    node.typeName = "?";
    if (!items.empty()) Try([&] { node.typeName = items.front()->TypeName(); });
    std::vector<Sibling>& siblings = level.siblings;
    siblings.resize(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
      Sibling& s = siblings[i];
      TResourceItem* item = s.item = items[i];
      s.offset = s.size = 0, s.list = false, s.repeat = 1;
      if (!Try([&] { s.name = item->DisplayName(); })) s.name = "?";
      Try([&] { s.list = item->IsList(); });
      Try([&] { s.offset = item->Offset(); });
      if (!s.list) Try([&] { s.size = item->ResourceSize(); });
    }
    NumberRepeats(level);
    node.path.assign(prefix);
    if (!prefix.empty()) node.path += '/';
    const std::size_t base = node.path.size();
    for (Sibling& s : siblings) {
      node.path.resize(base);
      AppendEscaped(node.path, s.name);
      if (s.repeat > 1) node.path.append(1, '~').append(std::to_string(s.repeat));
      node.item = s.item;
      node.name = s.name;
      node.offset = s.offset;
      node.size = s.size;
      node.list = s.list;
      visit_(node);
      if (node.list) {
        TResourceList* sub = nullptr;
        Try([&] { sub = &node.item->SubList(); });
        if (sub != nullptr) Walk(*sub, node.path, depth + 1);
      }
    }
  }

 private:
  // What a list needs while it is walked, kept for the next list at its
  // depth: a tree is walked with a few allocations, not several a list.
  struct Level {
    std::vector<Sibling> siblings;
    std::vector<std::size_t> hashes;
    std::vector<std::size_t> order;
    WalkNode node{nullptr, {}, {}, {}, 0, 0, false, 0};
  };

  Level& At(int depth) {
    while (levels_.size() <= static_cast<std::size_t>(depth)) levels_.push_back(std::make_unique<Level>());
    return *levels_[static_cast<std::size_t>(depth)];
  }

  // A name met again among its siblings gets "~2", "~3", ... in file order.
  // Sibling names are nearly always unique. Ids come in ascending order, and
  // so do their names by (length, text): names in strictly ascending order
  // are all different. Otherwise a few are compared directly, more by their
  // hashes first, and only repeated names are sorted.
  static void NumberRepeats(Level& level) {
    std::vector<Sibling>& siblings = level.siblings;
    const std::size_t n = siblings.size();
    auto before = [](const std::string& a, const std::string& b) {
      return a.size() < b.size() || (a.size() == b.size() && a < b);
    };
    bool ascending = true;
    for (std::size_t i = 1; i < n && ascending; ++i) ascending = before(siblings[i - 1].name, siblings[i].name);
    if (ascending) return;
    if (n <= kCompareDirectly) {
      for (std::size_t i = 1; i < n; ++i)
        for (std::size_t j = i; j-- > 0;)
          if (siblings[j].name == siblings[i].name) {
            siblings[i].repeat = siblings[j].repeat + 1;
            break;
          }
      return;
    }
    level.hashes.clear();
    for (const Sibling& s : siblings) level.hashes.push_back(std::hash<std::string>{}(s.name));
    std::sort(level.hashes.begin(), level.hashes.end());
    if (std::adjacent_find(level.hashes.begin(), level.hashes.end()) == level.hashes.end()) return;
    std::vector<std::size_t>& order = level.order;
    order.resize(n);
    for (std::size_t i = 0; i < n; ++i) order[i] = i;
    // by name, then file order
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      int c = siblings[a].name.compare(siblings[b].name);
      return c < 0 || (c == 0 && a < b);
    });
    for (std::size_t i = 1; i < n; ++i)
      if (siblings[order[i]].name == siblings[order[i - 1]].name)
        siblings[order[i]].repeat = siblings[order[i - 1]].repeat + 1;
  }
  static constexpr std::size_t kCompareDirectly = 8;

  template <class F>
  bool Try(F&& f) {
    try {
      f();
      return true;
    } catch (const EExeError& e) {
      errors_.push_back(e.what());
      return false;
    }
  }

  const std::function<void(const WalkNode&)>& visit_;
  std::vector<std::string>& errors_;
  std::vector<std::unique_ptr<Level>> levels_;  // a deeper level is added while shallower ones are in use
};

}  // namespace

void WalkResources(TExeImage& image, const std::function<void(const WalkNode&)>& visit,
                   std::vector<std::string>& errors) {
  Walker(visit, errors).Walk(image.Resources(), {}, 0);
}

TResourceItem* FindResource(TExeImage& image, const std::string& path) {
  TResourceItem* found = nullptr;
  std::vector<std::string> errors;
  WalkResources(image, [&](const WalkNode& node) {
    if (found == nullptr && node.path == path) found = node.item;
  }, errors);
  return found;
}
