#include "platform/registry.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "platform/atomic_file.h"
#include "platform/autostart.h"
#include "platform/paths.h"

namespace platform {
namespace {

std::filesystem::path HivePath(RootKey root) { return RegistryDirectory() / (std::string(RootKeyName(root)) + ".reg"); }

std::string FullPath(const RegKey& key) {
  std::string path = RootKeyName(key.root);
  if (!key.path.empty()) path += "\\" + key.path;
  return path;
}

std::filesystem::path AsidePath(const std::filesystem::path& hive) {
  std::filesystem::path aside = hive.string() + ".damaged";
  for (int n = 2; std::filesystem::exists(aside); ++n) aside = hive.string() + ".damaged." + std::to_string(n);
  return aside;
}

RegistryDocument LoadHive(RootKey root) {
  std::filesystem::path path = HivePath(root);
  bool missing = false;
  auto bytes = ReadWholeFile(path, &missing);
  if (!bytes && missing) bytes = FreshHiveText(root);
  if (!bytes) throw HiveError("Soubor registru " + path.string() + " nelze přečíst.");
  std::string why;
  if (auto doc = RegistryDocument::Parse(*bytes, &why)) return *doc;
  std::filesystem::path aside = AsidePath(path);
  if (std::rename(path.c_str(), aside.c_str()) != 0)
    throw HiveError("Soubor registru " + path.string() + " je poškozený (" + why + ").");
  throw HiveError("Soubor registru " + path.string() + " je poškozený (" + why + "); byl odložen jako " +
                  aside.string() + ".");
}

bool SaveHive(RootKey root, const RegistryDocument& doc) {
  return WriteFileAtomically(HivePath(root), doc.Serialize());
}

}  // namespace

const char* RootKeyName(RootKey root) {
  return root == RootKey::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

std::string FreshHiveText(RootKey root) {
  if (root == RootKey::CurrentUser)
    return "REGEDIT4\n"
           "\n"
           "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"
           "\"DragFullWindows\"=\"1\"\n"
           "\"ScreenSaveTimeOut\"=\"600\"\n"
           "\"Wallpaper\"=\"\"\n"
           "\"TileWallpaper\"=\"0\"\n"
           "\"WallpaperStyle\"=\"2\"\n"
           "\n"
           "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer]\n";
  return "REGEDIT4\n"
         "\n"
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\n"
         "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n"
         "\"CommonFilesDir\"=\"C:\\\\Program Files\\\\Common Files\"\n"
         "\n"
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\n";
}

LONG RegCreateKeyExA(RootKey root, std::string_view subKey, RegKey* result) {
  RegKey key{root, NormalizeKeyPath(subKey)};
  RegistryDocument doc = LoadHive(root);
  if (!doc.HasKey(FullPath(key))) {
    doc.AddKey(FullPath(key));
    if (!SaveHive(root, doc)) return errno == EACCES || errno == EROFS ? ERROR_ACCESS_DENIED : ERROR_INVALID_DATA;
  }
  *result = key;
  return ERROR_SUCCESS;
}

LONG RegOpenKeyExA(RootKey root, std::string_view subKey, RegKey* result) {
  RegKey key{root, NormalizeKeyPath(subKey)};
  if (!LoadHive(root).HasKey(FullPath(key)) && !key.path.empty()) return ERROR_FILE_NOT_FOUND;
  *result = key;
  return ERROR_SUCCESS;
}

LONG RegQueryValueExA(const RegKey& key, std::string_view name, RegValue* value) {
  auto found = LoadHive(key.root).Get(FullPath(key), name);
  if (!found) return ERROR_FILE_NOT_FOUND;
  *value = *found;
  return ERROR_SUCCESS;
}

LONG RegSetValueExA(const RegKey& key, std::string_view name, const RegValue& value) {
  RegistryDocument doc = LoadHive(key.root);
  doc.Set(FullPath(key), name, value);
  // a Run value starts its program at log-in: the autostart entry first,
  // so a value is never stored without it
  bool run = IsRunKey(FullPath(key));
  if (run) {
    bool done = value.type == REG_SZ ? WriteAutostartEntry(name, value.data) : RemoveAutostartEntry(name);
    if (!done) return ERROR_ACCESS_DENIED;
  }
  if (SaveHive(key.root, doc)) return ERROR_SUCCESS;
  if (run) RemoveAutostartEntry(name);  // no entry for a value that was not stored
  return ERROR_ACCESS_DENIED;
}

LONG RegDeleteValueA(const RegKey& key, std::string_view name) {
  RegistryDocument doc = LoadHive(key.root);
  bool found = doc.Delete(FullPath(key), name);
  if (IsRunKey(FullPath(key))) RemoveAutostartEntry(name);
  if (!found) return ERROR_FILE_NOT_FOUND;
  return SaveHive(key.root, doc) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

}  // namespace platform
