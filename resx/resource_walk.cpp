#include "resx/resource_walk.h"

#include <algorithm>
#include <bit>
#include <memory>
#include <span>
#include <utility>

namespace {

// Appends a display name as a path component.
void AppendEscaped(std::string& out, std::string_view name) {
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
  TResourceItem* item;
  std::size_t nameEnd;  // in the level's names, after the previous sibling's
  std::uint32_t offset;
  std::uint32_t size;
  bool list;
  bool damaged;
  bool named;          // its name could be read
  bool languages;      // a list of the resource's languages
  std::size_t repeat;  // the n-th sibling of this name, in file order
};

// What a list needs while it is walked, kept for the next list at its
// depth, and the levels of a walk for the next walk on the thread: a folder
// of files is walked with the allocations of its largest tree.
struct Level {
  std::vector<Sibling> siblings;
  std::string names;  // the siblings' display names, one after another
  std::string typeName;
  struct Slot {
    std::size_t hash = 0;
    std::size_t last = 0;  // 1 + the index of the name's last sibling so far; 0 for a free slot
  };
  std::vector<Slot> slots;  // NumberRepeats' hash table

  std::string_view Name(std::size_t i) const {
    std::size_t start = i == 0 ? 0 : siblings[i - 1].nameEnd;
    return std::string_view(names.data() + start, siblings[i].nameEnd - start);
  }
};

struct Buffers {
  std::vector<std::unique_ptr<Level>> levels;  // a deeper level is added while shallower ones are in use
  std::string path;
};
thread_local Buffers spare;

class Walker {
 public:
  Walker(const WalkVisit& visit, std::vector<Damage>& errors, WalkLanguages languages)
      : visit_(visit), errors_(errors), everyLanguage_(languages == WalkLanguages::Every), buffers_(std::move(spare)) {
    node_.path = std::move(buffers_.path);
    node_.path.clear();
  }
  ~Walker() {
    buffers_.path = std::move(node_.path);
    spare = std::move(buffers_);  // a walk from within a visit leaves the outer one's
  }
  Walker(const Walker&) = delete;
  Walker& operator=(const Walker&) = delete;

  // The node's path holds the list's path when called. `typeNamed`: the
  // name of the type the list lies under could be read (its damage is told
  // with the type's own node, once).
  void Walk(TResourceList& list, int depth, bool typeNamed) {
    std::span<TResourceItem* const> items = list.Items();  // what was read before any damage
    Told(list.ItemsDamage());
    Level& level = At(depth);
    // the items of a list share their owner, and so their type name; a type
    // of the root is the type it stands for
    level.typeName = "?";
    if (depth > 0 && typeNamed && !items.empty()) {
      Read<std::string> typeName = items.front()->TypeName();
      if (Told(typeName.damage)) level.typeName = std::move(typeName.value);
    }
    std::vector<Sibling>& siblings = level.siblings;
    std::string& names = level.names;
    siblings.resize(items.size());
    names.clear();
    for (std::size_t i = 0; i < items.size(); ++i) {
      Sibling& s = siblings[i];
      TResourceItem* item = s.item = items[i];
      s.offset = s.size = 0, s.list = s.languages = false, s.repeat = 1;
      const std::size_t start = names.size();
      s.named = Told(list.AppendItemName(i, names));
      if (!s.named) names.replace(start, std::string::npos, "?");
      s.nameEnd = names.size();
      // each asks what the one before read: damage is told once
      Read<bool> isList = item->IsList();
      s.damaged = !Told(isList.damage);
      s.list = *isList;
      if (!s.damaged && everyLanguage_) {
        Read<bool> languages = item->HasLanguages();
        s.damaged = !Told(languages.damage);
        s.languages = *languages;
      }
      if (s.languages) {  // offset of a list: its directory's in the section
        s.list = true;
        Read<TResourceList*> languages = item->LanguageList();
        s.damaged = !Told(languages.damage);
        if (!s.damaged) s.offset = static_cast<std::uint32_t>((*languages)->Directory() - list.Image().ResourceBase());
        continue;
      }
      if (s.damaged) continue;
      Read<ItemPlace> place = item->Place();
      s.damaged = !Told(place.damage);
      s.offset = place->offset;
      s.size = place->size;
    }
    NumberRepeats(level);
    std::string& path = node_.path;
    if (!path.empty()) path += '/';
    const std::size_t base = path.size();
    for (std::size_t i = 0; i < siblings.size(); ++i) {
      const Sibling& s = siblings[i];
      path.resize(base);
      node_.name = level.Name(i);
      AppendEscaped(path, node_.name);
      if (s.repeat > 1) path.append(1, '~').append(std::to_string(s.repeat));
      node_.item = s.item;
      node_.typeName = depth == 0 ? node_.name : std::string_view(level.typeName);
      node_.offset = s.offset;
      node_.size = s.size;
      node_.list = s.list;
      node_.damaged = s.damaged;
      node_.depth = depth;
      node_.next = WalkOn::Into;
      visit_(node_);
      if (node_.next == WalkOn::Stop) {
        stopped_ = true;
        return;
      }
      if (s.list && node_.next == WalkOn::Into) {
        Read<TResourceList*> sub = s.languages ? s.item->LanguageList() : s.item->SubList();
        if (Told(sub.damage)) Walk(**sub, depth + 1, depth == 0 ? s.named : typeNamed);
        if (stopped_) return;
      }
    }
  }

 private:
  Level& At(int depth) {
    std::vector<std::unique_ptr<Level>>& levels = buffers_.levels;
    while (levels.size() <= static_cast<std::size_t>(depth)) levels.push_back(std::make_unique<Level>());
    return *levels[static_cast<std::size_t>(depth)];
  }

  // A name met again among its siblings gets "~2", "~3", ... in file order.
  // Sibling names are nearly always unique. Ids come in ascending order, and
  // so do their names by (length, text): names in strictly ascending order
  // are all different. Otherwise a few are compared directly; more go
  // through a hash table that keeps the last sibling of each name.
  static void NumberRepeats(Level& level) {
    std::vector<Sibling>& siblings = level.siblings;
    const std::size_t n = siblings.size();
    auto before = [](std::string_view a, std::string_view b) {
      return a.size() < b.size() || (a.size() == b.size() && a < b);
    };
    bool ascending = true;
    for (std::size_t i = 1; i < n && ascending; ++i) ascending = before(level.Name(i - 1), level.Name(i));
    if (ascending) return;
    if (n <= kCompareDirectly) {
      for (std::size_t i = 1; i < n; ++i)
        for (std::size_t j = i; j-- > 0;)
          if (level.Name(j) == level.Name(i)) {
            siblings[i].repeat = siblings[j].repeat + 1;
            break;
          }
      return;
    }
    std::vector<Level::Slot>& slots = level.slots;
    const std::size_t mask = std::bit_ceil(2 * n) - 1;  // at most half full
    slots.assign(mask + 1, Level::Slot{});
    for (std::size_t i = 0; i < n; ++i) {
      const std::string_view name = level.Name(i);
      const std::size_t hash = std::hash<std::string_view>{}(name);
      for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        Level::Slot& slot = slots[at];
        if (slot.last == 0) {
          slot = {hash, i + 1};
          break;
        }
        const std::size_t last = slot.last - 1;
        if (slot.hash == hash && level.Name(last) == name) {
          siblings[i].repeat = siblings[last].repeat + 1;
          slot.last = i + 1;
          break;
        }
      }
    }
  }
  static constexpr std::size_t kCompareDirectly = 8;

  // Tells the damage as an error, when there is one; whether there was none.
  bool Told(const Damage& damage) {
    if (!damage.Found()) return true;
    errors_.push_back(damage);
    return false;
  }

  const WalkVisit& visit_;
  bool stopped_ = false;
  std::vector<Damage>& errors_;
  bool everyLanguage_;
  Buffers buffers_;
  WalkNode node_{nullptr, {},    {},    {}, 0,
                 0,       false, false, 0};  // the node visited; its path grows and shrinks with the depth
};

}  // namespace

Damage WalkResources(TExeImage& image, const WalkVisit& visit, std::vector<Damage>& errors, WalkLanguages languages) {
  Read<TResourceList*> root = image.Resources();
  if (root) Walker(visit, errors, languages).Walk(**root, 0, true);
  return root.damage;
}

void WalkList(TResourceList& list, const WalkVisit& visit, std::vector<Damage>& errors) {
  Walker(visit, errors, WalkLanguages::Standing).Walk(list, list.Depth(), list.Depth() > 0);
}

Read<TResourceItem*> FindResource(TExeImage& image, const std::string& path) {
  TResourceItem* found = nullptr;
  std::vector<Damage> errors;
  for (WalkLanguages languages : {WalkLanguages::Standing, WalkLanguages::Every}) {
    Damage none = WalkResources(
        image,
        [&](WalkNode& node) {
          if (node.path != path) return;
          found = node.item;
          node.next = WalkOn::Stop;
        },
        errors, languages);
    if (none.Found()) return none;
    if (found != nullptr) break;
  }
  return found;
}
