// The per-user key store: key paths mapped to INI files under the user's configuration
// folder, and TRegistryIniFile over them.
#include "platform/rtl/Registry.h"

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/Utf8.h"

#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <pwd.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace mv {

namespace {

constexpr const char* StoreFolderName = "mvgrids-registry";

bool IsKeptByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' ||
           c == '-' || c == '_' || c == '.';
}

std::string EscapeByte(unsigned char c) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    return {'%', Hex[c >> 4], Hex[c & 15]};
}

// One path part as a file name: safe bytes kept, the rest "%XX". "." and ".." (and any
// run of dots) are escaped whole so that they cannot name the folder or its parent.
std::string SanitizePart(StringView part) {
    const std::string bytes = UTF8Encode(part);
    const bool onlyDots = bytes.find_first_not_of('.') == std::string::npos;
    std::string out;
    for (unsigned char c : bytes)
        out += onlyDots || !IsKeptByte(c) ? EscapeByte(c) : std::string(1, c);
    return out;
}

std::vector<std::string> SanitizedParts(StringView keyPath) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= keyPath.size()) {
        size_t end = keyPath.find(u'\\', start);
        if (end == StringView::npos) end = keyPath.size();
        if (end > start) parts.push_back(SanitizePart(keyPath.substr(start, end - start)));
        start = end + 1;
    }
    return parts;
}

// The entry of folder whose name equals name without regard to case, else name itself
// (also when the folder does not exist yet).
std::string MatchEntry(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return name;
    std::string found = name;
    const String wanted = UTF8ToString(name);
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name == name) { // the exact spelling wins over other spellings
            found = name;
            break;
        }
        if (AnsiSameText(UTF8ToString(entry->d_name), wanted)) found = entry->d_name;
    }
    ::closedir(dir);
    return found;
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) return user->pw_dir;
    return "/tmp";
}

std::string StoreRoot() {
    // A relative XDG_CONFIG_HOME is invalid and must be ignored.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const std::string config = xdg && *xdg == '/' ? std::string(xdg) : HomeFolder() + "/.config";
    return config + "/" + StoreFolderName;
}

std::string FolderOf(const std::string& file) {
    return file.substr(0, file.rfind('/'));
}

} // namespace

String RegistryStoreRoot() {
    return UTF8ToString(StoreRoot());
}

String RegistryStoreFileName(StringView keyPath) {
    std::string path = StoreRoot();
    std::vector<std::string> parts = SanitizedParts(keyPath);
    if (parts.empty()) return UTF8ToString(path + "/%root.ini");
    const std::string file = parts.back() + ".ini";
    parts.pop_back();
    for (const std::string& part : parts)
        path += "/" + MatchEntry(path, part);
    return UTF8ToString(path + "/" + MatchEntry(path, file));
}

TRegistryIniFile::TRegistryIniFile(const String& keyPath)
    : TCustomIniFile(keyPath), FStoreFileName(RegistryStoreFileName(keyPath)),
      FStore(std::make_unique<TIniFile>(FStoreFileName)) {}

TRegistryIniFile::~TRegistryIniFile() = default;

template <typename TAction> auto TRegistryIniFile::Reading(TAction&& action) {
    try {
        return action();
    } catch (const EIniFileException& e) {
        throw ERegistryException(Format(SysConst::SRegGetDataFailed, {FFileName, e.Message()}));
    }
}

template <typename TAction> void TRegistryIniFile::Writing(TAction&& action) {
    try {
        action();
    } catch (const EIniFileException& e) {
        throw ERegistryException(Format(SysConst::SRegSetDataFailed, {FFileName, e.Message()}));
    }
}

String TRegistryIniFile::ReadString(StringView section, StringView ident, StringView defaultValue) {
    return Reading([&] { return FStore->ReadString(section, ident, defaultValue); });
}

void TRegistryIniFile::WriteString(StringView section, StringView ident, StringView value) {
    const std::string folder = FolderOf(UTF8Encode(FStoreFileName));
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        const String reason =
            Format(SysConst::SIniFileWriteError, {UTF8ToString(folder), SystemErrorText(error.value())});
        throw ERegistryException(Format(SysConst::SRegCreateFailed, {FFileName, reason}));
    }
    Writing([&] { FStore->WriteString(section, ident, value); });
}

void TRegistryIniFile::ReadSection(StringView section, TStrings* strings) {
    Reading([&] { FStore->ReadSection(section, strings); });
}

void TRegistryIniFile::ReadSections(TStrings* strings) {
    Reading([&] { FStore->ReadSections(strings); });
}

void TRegistryIniFile::ReadSectionValues(StringView section, TStrings* strings) {
    Reading([&] { FStore->ReadSectionValues(section, strings); });
}

void TRegistryIniFile::EraseSection(StringView section) {
    Writing([&] { FStore->EraseSection(section); });
}

void TRegistryIniFile::DeleteKey(StringView section, StringView ident) {
    Writing([&] { FStore->DeleteKey(section, ident); });
}

} // namespace mv
