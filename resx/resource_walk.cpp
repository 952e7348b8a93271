#include "resx/resource_walk.h"

#include <map>

namespace {

std::string Escape(const std::string& name) {
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
  std::map<std::string, int> seen;
  for (TResourceItem* item : *items) {
    WalkNode node{item, {}, "?", "?", 0, 0, false, depth};
    Try(errors, [&] { node.name = item->DisplayName(); });
    Try(errors, [&] { node.typeName = item->TypeName(); });
    Try(errors, [&] { node.list = item->IsList(); });
    Try(errors, [&] { node.offset = item->Offset(); });
    Try(errors, [&] { node.size = item->ResourceSize(); });
    std::string component = Escape(node.name);
    if (int n = ++seen[component]; n > 1) component += "~" + std::to_string(n);
    node.path = prefix.empty() ? component : prefix + "/" + component;
    visit(node);
    if (node.list) {
      TResourceList* sub = nullptr;
      Try(errors, [&] { sub = &item->SubList(); });
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
