// The per-user key store: where keys are stored, sections as subkeys, separate roots,
// names that must not escape the store, and failures that lose nothing.
#include "platform/rtl/Registry.h"

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Utf8.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <unistd.h>

namespace mv {
namespace {

// Points XDG_CONFIG_HOME (and HOME) at a temporary folder for the test and puts both
// back afterwards, so nothing is written into the real home.
class RegistryIni : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "mvreg.XXXXXX").string();
        FRoot = ::mkdtemp(pattern.data());
        FSavedXdg = Saved("XDG_CONFIG_HOME");
        FSavedHome = Saved("HOME");
        ::setenv("XDG_CONFIG_HOME", (FRoot + "/config").c_str(), 1);
        ::setenv("HOME", (FRoot + "/home").c_str(), 1);
    }
    void TearDown() override {
        Restore("XDG_CONFIG_HOME", FSavedXdg);
        Restore("HOME", FSavedHome);
        std::filesystem::remove_all(FRoot);
    }
    static std::optional<std::string> Saved(const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }
    static void Restore(const char* name, const std::optional<std::string>& value) {
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    static std::string ReadText(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::string FRoot;
    std::optional<std::string> FSavedXdg, FSavedHome;
};

TEST_F(RegistryIni, StoresKeysAsFilesAndSectionsAsSubkeys) {
    const std::string store = FRoot + "/config/mvgrids-registry";
    EXPECT_EQ(RegistryStoreRoot(), UTF8ToString(store));
    TRegistryIniFile reg(u"\\Software\\Vendor\\Product");
    EXPECT_EQ(reg.FileName(), u"\\Software\\Vendor\\Product");
    EXPECT_EQ(reg.StoreFileName(), UTF8ToString(store + "/Software/Vendor/Product.ini"));
    EXPECT_EQ(reg.ReadInteger(u"Grid", u"Width", 640), 640); // nothing stored yet
    EXPECT_FALSE(std::filesystem::exists(store)) << "reading must not create the store";

    reg.WriteInteger(u"Grid", u"Width", 800);
    reg.WriteBool(u"Grid", u"Visible", true);
    reg.WriteString(u"Columns", u"Order", u"Name,Price");
    EXPECT_EQ(ReadText(store + "/Software/Vendor/Product.ini"),
              "[Grid]\nWidth=800\nVisible=1\n\n[Columns]\nOrder=Name,Price\n");

    // Another object, with another spelling of the path, sees the same key.
    TRegistryIniFile other(u"software\\VENDOR\\\\product\\");
    EXPECT_EQ(other.StoreFileName(), reg.StoreFileName());
    EXPECT_EQ(other.ReadInteger(u"grid", u"WIDTH", 0), 800);
    EXPECT_TRUE(other.ReadBool(u"Grid", u"Visible", false));
    TStringList list;
    other.ReadSections(&list);
    EXPECT_EQ(list.GetCommaText(), u"Grid,Columns");
    other.ReadSectionValues(u"Grid", &list);
    EXPECT_EQ(list.GetCommaText(), u"Width=800,Visible=1");

    other.EraseSection(u"GRID");
    EXPECT_FALSE(reg.SectionExists(u"Grid"));
    EXPECT_EQ(reg.ReadInteger(u"Grid", u"Width", -1), -1);
    EXPECT_EQ(reg.ReadString(u"Columns", u"Order", u""), u"Name,Price");
    reg.WriteInteger(u"Grid", u"Height", 5); // recreated, without its old values
    other.ReadSection(u"Grid", &list);
    EXPECT_EQ(list.GetCommaText(), u"Height");
    reg.DeleteKey(u"Columns", u"order");
    EXPECT_FALSE(other.ValueExists(u"Columns", u"Order"));
}

TEST_F(RegistryIni, RootsAreKeptApartAndInsideTheStore) {
    TRegistryIniFile a(u"\\Software\\A");
    TRegistryIniFile b(u"\\Software\\B");
    TRegistryIniFile nested(u"\\Software\\A\\Sub");
    a.WriteString(u"S", u"k", u"from A");
    b.WriteString(u"S", u"k", u"from B");
    nested.WriteString(u"S", u"k", u"from A\\Sub");
    EXPECT_EQ(TRegistryIniFile(u"\\Software\\A").ReadString(u"S", u"k", u""), u"from A");
    EXPECT_EQ(TRegistryIniFile(u"\\Software\\B").ReadString(u"S", u"k", u""), u"from B");
    EXPECT_EQ(TRegistryIniFile(u"\\Software\\A\\Sub").ReadString(u"S", u"k", u""), u"from A\\Sub");
    b.EraseSection(u"S");
    EXPECT_EQ(a.ReadString(u"S", u"k", u""), u"from A");

    const String store = RegistryStoreRoot();
    EXPECT_EQ(RegistryStoreFileName(u"\\..\\..\\etc\\passwd"), store + u"/%2E%2E/%2E%2E/etc/passwd.ini");
    EXPECT_EQ(RegistryStoreFileName(u"\\.\\x"), store + u"/%2E/x.ini");
    EXPECT_EQ(RegistryStoreFileName(u"\\a/b\\c:d%\\Grüße v1.0_-"),
              store + u"/a%2Fb/c%3Ad%25/Gr%C3%BC%C3%9Fe v1.0_-.ini");
    EXPECT_EQ(RegistryStoreFileName(u"\\"), store + u"/%root.ini");
    EXPECT_EQ(RegistryStoreFileName(u""), store + u"/%root.ini");
    TRegistryIniFile escaped(u"\\..\\x");
    escaped.WriteString(u"S", u"k", u"v");
    EXPECT_TRUE(std::filesystem::exists(FRoot + "/config/mvgrids-registry/%2E%2E/x.ini"));
    EXPECT_FALSE(std::filesystem::exists(FRoot + "/config/x.ini"));
}

TEST_F(RegistryIni, ConfigFolderComesFromTheEnvironment) {
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(RegistryStoreRoot(), UTF8ToString(FRoot + "/home/.config/mvgrids-registry"));
    ::setenv("XDG_CONFIG_HOME", "relative/path", 1); // not absolute: ignored
    EXPECT_EQ(RegistryStoreRoot(), UTF8ToString(FRoot + "/home/.config/mvgrids-registry"));
    TRegistryIniFile reg(u"\\P");
    reg.WriteString(u"S", u"k", u"v");
    EXPECT_TRUE(std::filesystem::exists(FRoot + "/home/.config/mvgrids-registry/P.ini"));
}

TEST_F(RegistryIni, FailuresRaiseAndLoseNothing) {
    TRegistryIniFile reg(u"\\Software\\Vendor\\Product");
    reg.WriteString(u"S", u"k", u"kept");
    const std::string file = UTF8Encode(reg.StoreFileName());

    ArmAtomicWriteFault(awsRename, EIO);
    try {
        reg.WriteString(u"S", u"k", u"lost");
        ADD_FAILURE() << "armed fault did not fire";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(),
                  u"Failed to set data for key \"\\Software\\Vendor\\Product\". Unable to write to \"" +
                      reg.StoreFileName() + u"\". Input/output error");
    }
    EXPECT_EQ(ReadText(file), "[S]\nk=kept\n");
    EXPECT_EQ(reg.ReadString(u"S", u"k", u""), u"kept");

    // A configuration folder that is a regular file: fails even for root.
    std::ofstream(FRoot + "/blocker") << "file";
    ::setenv("XDG_CONFIG_HOME", (FRoot + "/blocker").c_str(), 1);
    TRegistryIniFile blocked(u"\\Software\\Vendor\\Product");
    EXPECT_EQ(blocked.ReadString(u"S", u"k", u"default"), u"default");
    try {
        blocked.WriteString(u"S", u"k", u"v");
        ADD_FAILURE() << "created a key below a regular file";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(),
                  u"Failed to create key \"\\Software\\Vendor\\Product\". Unable to write to \"" +
                      UTF8ToString(FRoot) + u"/blocker/mvgrids-registry/Software/Vendor\". Not a directory");
    }
    EXPECT_THROW(reg.WriteString(u"S", u"bad=key", u"v"), ERegistryException);
    EXPECT_EQ(ReadText(file), "[S]\nk=kept\n");
}

} // namespace
} // namespace mv
