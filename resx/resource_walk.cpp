#include "resx/resource_walk.h"

#include <algorithm>

namespace {

std::string Escape(const std::string& name) {
  if (name.find_first_of("%/") == std::string::npos) return name;
  std::string out;
  for (char c : name) {
    if (c == '%')
      out += "%25";
    else if (c == '/')
      out += "%2F";
    else
      out += c;
  }
  return out;
}

// Sibling names are nearly always unique, which their hashes show without
// sorting the names themselves.
bool MayRepeat(const std::vector<WalkNode>& nodes) {
  std::vector<std::size_t> hashes;
  hashes.reserve(nodes.size());
  for (const WalkNode& node : nodes) hashes.push_back(std::hash<std::string>{}(node.path));
  std::sort(hashes.begin(), hashes.end());
  return std::adjacent_find(hashes.begin(), hashes.end()) != hashes.end();
}

template <class F>
void Try(std::vector<std::string>& errors, F&& f) {
  try {
    f();
  } catch (const EExeError& e) {
    errors.push_back(e.what());
  }
}

void Walk(TResourceList& list, const std::string& prefix, int depth,
          const std::function<void(const WalkNode&)>& visit, std::vector<std::string>& errors) {
  const std::vector<TResourceItem*>* items = nullptr;
  try {
    items = &list.Items();
  } catch (const EExeError& e) {
    errors.push_back(e.what());
    items = &list.Items();  // what was read before the damage
  }
  // the items of a list share their owner, and so their type name
  std::string typeName = "?";
  if (!items->empty()) Try(errors, [&] { typeName = items->front()->TypeName(); });
  std::vector<WalkNode> nodes;
  nodes.reserve(items->size());
  for (TResourceItem* item : *items) {
    WalkNode& node = nodes.emplace_back(WalkNode{item, {}, "?", typeName, 0, 0, false, depth});
    Try(errors, [&] { node.name = item->DisplayName(); });
    Try(errors, [&] { node.list = item->IsList(); });
    Try(errors, [&] { node.offset = item->Offset(); });
    if (!node.list) Try(errors, [&] { node.size = item->ResourceSize(); });
    node.path = Escape(node.name);
  }
  // a name met again among its siblings gets "~2", "~3", ... in file order
  if (MayRepeat(nodes)) {
    std::vector<std::size_t> order(nodes.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return nodes[a].path < nodes[b].path; });
    for (std::size_t i = 1, run = 1; i < order.size(); ++i) {
      run = nodes[order[i]].path == nodes[order[i - 1]].path ? run + 1 : 1;
      if (run > 1) nodes[order[i]].path += "~" + std::to_string(run);
    }
  }
  std::string path;
  for (WalkNode& node : nodes) {
    if (!prefix.empty()) {
      path.assign(prefix).append(1, '/').append(node.path);
      node.path.swap(path);
    }
    visit(node);
    if (node.list) {
      TResourceList* sub = nullptr;
      Try(errors, [&] { sub = &node.item->SubList(); });
      if (sub != nullptr) Walk(*sub, node.path, depth + 1, visit, errors);
    }
  }
}

}  // namespace

void WalkResources(TExeImage& image, const std::function<void(const WalkNode&)>& visit,
                   std::vector<std::string>& errors) {
  Walk(image.Resources(), {}, 0, visit, errors);
}

TResourceItem* FindResource(TExeImage& image, const std::string& path) {
  TResourceItem* found = nullptr;
  std::vector<std::string> errors;
  WalkResources(image, [&](const WalkNode& node) {
    if (found == nullptr && node.path == path) found = node.item;
  }, errors);
  return found;
}
