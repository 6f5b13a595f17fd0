// The per-user key store and TRegistryIniFile, the INI interface over it.
//
// A key is a path of names ("\Software\Vendor\Product"); it holds subkeys and named
// values. TRegistryIniFile opened on a key sees its direct subkeys as sections and their
// values as keys; integers and booleans are stored as their text, as TIniFile stores them.
//
// Storage: one INI file per opened key, under the store folder
//   $XDG_CONFIG_HOME/mvgrids-registry   ($HOME/.config/mvgrids-registry when unset)
// "\Software\Vendor\Product" lives in <store>/Software/Vendor/Product.ini, its subkey
// "Grid" in that file's [Grid] section. Names compare without regard to case, in paths
// too: an existing folder or file of another spelling is used. Every change is written
// through and crash-safe (see TIniFile).
// FIXME(registry): a key opened directly ("\Software\Vendor\Product\Grid") is a file of
// its own, not the [Grid] section of Product.ini; open keys at one level per product.
#pragma once

#include "platform/rtl/IniFiles.h"

#include <memory>
#include <string>

namespace mv {

// The folder the store keeps its files in (not created here).
String RegistryStoreRoot();

// The store file of a key path. Path parts split at '\'; empty parts are dropped; in a
// part, letters, digits, space and "-_." stay, any other byte of its UTF-8 form becomes
// "%XX", and a part of dots only is escaped whole, so no path leaves the store. The root
// key itself ("" or "\") is "<store>/%root.ini".
String RegistryStoreFileName(StringView keyPath);

// FileName() is the key path. A failure of the store raises ERegistryException: "Failed
// to create key "<key>". ..." when its folder cannot be made, "Failed to get data for
// key ..." / "Failed to set data for key ..." with the file and the system error when its
// file cannot be read or written. Nothing already stored is lost by a failed write.
class TRegistryIniFile : public TCustomIniFile {
public:
    explicit TRegistryIniFile(const String& keyPath);
    ~TRegistryIniFile() override;

    // The INI file that holds the key.
    const String& StoreFileName() const { return FStoreFileName; }

    String ReadString(StringView section, StringView ident, StringView defaultValue) override;
    void WriteString(StringView section, StringView ident, StringView value) override;
    void ReadSection(StringView section, TStrings* strings) override;
    void ReadSections(TStrings* strings) override;
    void ReadSectionValues(StringView section, TStrings* strings) override;
    // Removes the subkey with its values; writing to it again creates it anew.
    void EraseSection(StringView section) override;
    void DeleteKey(StringView section, StringView ident) override;
    void UpdateFile() override {}

private:
    template <typename TAction> auto Reading(TAction&& action);
    template <typename TAction> void Writing(TAction&& action);

    String FStoreFileName;
    std::unique_ptr<TIniFile> FStore;
};

} // namespace mv
