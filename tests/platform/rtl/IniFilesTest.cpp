// INI files: round trips between objects and processes, the line format, layout kept on
// rewrite, failed writes that leave the file intact, and random input to the parser.
#include "platform/rtl/IniFiles.h"

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Utf8.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mv {
namespace {

class TTempDir {
public:
    // inMemory: on /dev/shm where there is one, for tests that rewrite files thousands
    // of times (on a disk mounted with discard every truncation waits for the device).
    explicit TTempDir(bool inMemory = false) {
        std::filesystem::path base = std::filesystem::temp_directory_path();
        if (inMemory && ::access("/dev/shm", W_OK) == 0) base = "/dev/shm";
        std::string pattern = (base / "mvini.XXXXXX").string();
        FPath = ::mkdtemp(pattern.data());
    }
    ~TTempDir() {
        ::chmod(FPath.c_str(), 0700);
        std::filesystem::remove_all(FPath);
    }
    std::string Path(const char* name) const { return FPath + "/" + name; }
    String File(const char* name) const { return UTF8ToString(Path(name)); }
    const std::string& Root() const { return FPath; }
    size_t EntryCount() const {
        return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(FPath), {}));
    }

private:
    std::string FPath;
};

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::vector<String> ListOf(const TStrings& list) {
    std::vector<String> out;
    for (Integer i = 0; i < list.Count(); ++i)
        out.push_back(list.Strings(i));
    return out;
}

TEST(IniFiles, RoundTripAcrossObjectsAndProcesses) {
    TTempDir dir;
    const String file = dir.File("app.ini");
    TIniFile writer(file);
    EXPECT_EQ(writer.ReadString(u"Main", u"Name", u"none"), u"none"); // missing file reads empty
    writer.WriteString(u"Main", u"Name", u"Grid ü");
    writer.WriteInteger(u"Main", u"Count", -42);
    writer.WriteBool(u"Main", u"Visible", true);
    writer.WriteFloat(u"Main", u"Ratio", 1.5);
    writer.WriteString(u"Other", u"Key", u"x");
    EXPECT_EQ(ReadText(dir.Path("app.ini")),
              "[Main]\nName=Grid \xC3\xBC\nCount=-42\nVisible=1\nRatio=1.5\n\n[Other]\nKey=x\n");

    TIniFile reader(file); // a second object, as another process would have
    EXPECT_EQ(reader.ReadString(u"Main", u"Name", u""), u"Grid ü");
    EXPECT_EQ(reader.ReadInteger(u"Main", u"Count", 0), -42);
    EXPECT_TRUE(reader.ReadBool(u"Main", u"Visible", false));
    EXPECT_DOUBLE_EQ(reader.ReadFloat(u"Main", u"Ratio", 0), 1.5);

    // Each read sees the file as it is now, not as it was when the object first read it.
    writer.WriteString(u"Main", u"Name", u"Changed");
    EXPECT_EQ(reader.ReadString(u"Main", u"Name", u""), u"Changed");

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int code = 0;
        try {
            TIniFile other(file);
            if (other.ReadString(u"Main", u"Name", u"") != u"Changed") code = 2;
            other.WriteInteger(u"Child", u"Done", 7);
        } catch (...) {
            code = 3;
        }
        ::_exit(code);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "2: child read a stale value, 3: child raised";
    EXPECT_EQ(reader.ReadInteger(u"Child", u"Done", 0), 7);
    EXPECT_EQ(writer.ReadInteger(u"Child", u"Done", 0), 7);
}

TEST(IniFiles, ValuesNamesAndConversions) {
    TTempDir dir;
    WriteText(dir.Path("v.ini"), "[Values]\n"
                                 "  spaced key  =   spaced value  \n"
                                 "formula=a=b=c\n"
                                 "quoted=\"  kept  \"\n"
                                 "empty=\n"
                                 "hex1=$1A\nhex2=0x1A\nbad=12abc\n"
                                 "t=True\nyes=2\nno=0\n"
                                 "[\xC3\x84rger]\nK=1\n");
    TIniFile ini(dir.File("v.ini"));
    EXPECT_EQ(ini.ReadString(u"Values", u"spaced key", u"?"), u"spaced value");
    EXPECT_EQ(ini.ReadString(u"VALUES", u" Spaced KEY ", u"?"), u"spaced value");
    EXPECT_EQ(ini.ReadString(u"Values", u"formula", u"?"), u"a=b=c");
    EXPECT_EQ(ini.ReadString(u"Values", u"quoted", u"?"), u"\"  kept  \"");
    EXPECT_EQ(ini.ReadString(u"Values", u"empty", u"?"), u"");
    EXPECT_TRUE(ini.ValueExists(u"values", u"EMPTY"));
    EXPECT_FALSE(ini.ValueExists(u"Values", u"absent"));
    EXPECT_EQ(ini.ReadString(u"\u00E4RGER", u"k", u"?"), u"1"); // case-insensitive beyond ASCII
    EXPECT_EQ(ini.ReadInteger(u"Values", u"hex1", 0), 26);
    EXPECT_EQ(ini.ReadInteger(u"Values", u"hex2", 0), 26);
    EXPECT_EQ(ini.ReadInteger(u"Values", u"bad", -1), -1);
    EXPECT_EQ(ini.ReadInteger(u"Values", u"absent", 9), 9);
    EXPECT_TRUE(ini.ReadBool(u"Values", u"t", true)); // not an integer: the default
    EXPECT_FALSE(ini.ReadBool(u"Values", u"t", false));
    EXPECT_TRUE(ini.ReadBool(u"Values", u"yes", false));
    EXPECT_FALSE(ini.ReadBool(u"Values", u"no", true));
    EXPECT_DOUBLE_EQ(ini.ReadFloat(u"Values", u"formula", 2.5), 2.5);

    // Written blanks around a value are trimmed by every reader, this one included.
    ini.WriteString(u"values", u"SPACED KEY", u"  new  ");
    EXPECT_EQ(ini.ReadString(u"Values", u"spaced key", u"?"), u"new");
    EXPECT_EQ(TIniFile(dir.File("v.ini")).ReadString(u"Values", u"spaced key", u"?"), u"new");
    EXPECT_NE(ReadText(dir.Path("v.ini")).find("spaced key=  new  \n"), std::string::npos)
        << "the key keeps its first spelling";

    const std::string before = ReadText(dir.Path("v.ini"));
    for (const char16_t* key : {u"", u"  ", u"a=b", u"[x", u";x", u"line\nbreak"}) {
        try {
            ini.WriteString(u"Values", key, u"v");
            ADD_FAILURE() << "accepted key " << UTF8Encode(key);
        } catch (const EIniFileException& e) {
            EXPECT_EQ(e.Message(),
                      u"Invalid name \"" + String(key) + u"\" for INI file \"" + ini.FileName() + u"\"");
        }
    }
    EXPECT_THROW(ini.WriteString(u"Sec\r", u"k", u"v"), EIniFileException);
    try {
        ini.WriteString(u"Values", u"k", u"two\nlines");
        ADD_FAILURE() << "accepted a value with a line break";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(),
                  u"Value of \"k\" for INI file \"" + ini.FileName() + u"\" contains a line break");
    }
    EXPECT_EQ(ReadText(dir.Path("v.ini")), before);
}

TEST(IniFiles, RewriteKeepsCommentsAndLayout) {
    TTempDir dir;
    WriteText(dir.Path("c.ini"), "; leading comment\n"
                                 "orphan=ignored\n"
                                 "\n"
                                 "[A]\n"
                                 "x = 1\n"
                                 "not a key line\n"
                                 "y=2\n"
                                 "\n"
                                 "; about B\n"
                                 "[B]\n"
                                 "z=3\n");
    TIniFile ini(dir.File("c.ini"));
    EXPECT_EQ(ini.ReadString(u"", u"orphan", u"?"), u"?"); // keys before any section are not readable
    ini.WriteString(u"A", u"new", u"n");
    ini.WriteString(u"a", u"Y", u"22");
    ini.WriteString(u"C", u"w", u"4");
    EXPECT_EQ(ReadText(dir.Path("c.ini")), "; leading comment\n"
                                           "orphan=ignored\n"
                                           "\n"
                                           "[A]\n"
                                           "x = 1\n"
                                           "not a key line\n"
                                           "y=22\n"
                                           "new=n\n"
                                           "\n"
                                           "; about B\n"
                                           "[B]\n"
                                           "z=3\n"
                                           "\n"
                                           "[C]\n"
                                           "w=4\n");
    ini.WriteString(u"A", u"x", u"1"); // same value: the file is not rewritten
    EXPECT_NE(ReadText(dir.Path("c.ini")).find("x = 1\n"), std::string::npos);
}

TEST(IniFiles, SectionsEraseDeleteAndSectionValues) {
    TTempDir dir;
    WriteText(dir.Path("s.ini"), "[One]\na=1\nb=x=y\n[Empty]\n[Two]\nc=3\n[one]\nd=4\na=shadowed\n");
    TIniFile ini(dir.File("s.ini"));
    TStringList list;
    list.Add(u"stale");
    ini.ReadSections(&list);
    EXPECT_EQ(ListOf(list), (std::vector<String>{u"One", u"Empty", u"Two"}));
    ini.ReadSection(u"ONE", &list);
    EXPECT_EQ(ListOf(list), (std::vector<String>{u"a", u"b", u"d"}));
    ini.ReadSectionValues(u"one", &list);
    EXPECT_EQ(ListOf(list), (std::vector<String>{u"a=1", u"b=x=y", u"d=4"}));
    EXPECT_EQ(list.Values(u"b"), u"x=y");
    EXPECT_EQ(ini.ReadString(u"One", u"a", u""), u"1"); // first occurrence wins
    EXPECT_TRUE(ini.SectionExists(u"two"));
    EXPECT_FALSE(ini.SectionExists(u"Empty")); // no keys: as the framework answers
    EXPECT_FALSE(ini.SectionExists(u"Missing"));

    ini.DeleteKey(u"one", u"A"); // every occurrence, so no shadowed value resurfaces
    EXPECT_EQ(ini.ReadString(u"One", u"a", u"gone"), u"gone");
    ini.EraseSection(u"ONE"); // both occurrences
    ini.ReadSections(&list);
    EXPECT_EQ(ListOf(list), (std::vector<String>{u"Empty", u"Two"}));
    EXPECT_EQ(ReadText(dir.Path("s.ini")), "[Empty]\n[Two]\nc=3\n");
    ini.WriteString(u"One", u"a", u"back");
    EXPECT_EQ(TIniFile(dir.File("s.ini")).ReadString(u"one", u"A", u""), u"back");
    ini.ReadSection(u"Missing", &list);
    EXPECT_EQ(list.Count(), 0);
}

TEST(IniFiles, ByteOrderMarkAndLineBreaks) {
    TTempDir dir;
    WriteText(dir.Path("b.ini"), "\xEF\xBB\xBF[First]\r\nk=v\r\n[Second]\rm=n\r");
    TIniFile ini(dir.File("b.ini"));
    EXPECT_EQ(ini.ReadString(u"First", u"k", u""), u"v");
    EXPECT_EQ(ini.ReadString(u"Second", u"m", u""), u"n");
    ini.WriteString(u"First", u"k", u"w");
    EXPECT_EQ(ReadText(dir.Path("b.ini")), "\xEF\xBB\xBF[First]\nk=w\n[Second]\nm=n\n");
}

TEST(IniFiles, FailedWritesLeaveTheFileIntact) {
    TTempDir dir;
    WriteText(dir.Path("blocker"), "a regular file");
    const String inFile = dir.File("blocker/app.ini"); // parent is a file: fails even for root
    TIniFile blocked(inFile);
    EXPECT_EQ(blocked.ReadString(u"S", u"k", u"d"), u"d");
    try {
        blocked.WriteString(u"S", u"k", u"v");
        ADD_FAILURE() << "wrote below a regular file";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), u"Unable to write to \"" + inFile + u"\". Not a directory");
    }
    const String inMissing = dir.File("missing/app.ini");
    EXPECT_THROW(TIniFile(inMissing).WriteInteger(u"S", u"k", 1), EIniFileException);

    // Failures late in the write: the temporary file goes, the old content stays, and the
    // object reads the file's content rather than its failed edit.
    WriteText(dir.Path("keep.ini"), "[S]\nk=old\n");
    TIniFile ini(dir.File("keep.ini"));
    const size_t entries = dir.EntryCount();
    for (TAtomicWriteStep step : {awsCreate, awsWrite, awsSync, awsRename}) {
        ArmAtomicWriteFault(step, EIO);
        try {
            ini.WriteString(u"S", u"k", u"new");
            ADD_FAILURE() << "armed fault at step " << step << " did not fire";
        } catch (const EIniFileException& e) {
            EXPECT_EQ(e.Message(), u"Unable to write to \"" + ini.FileName() + u"\". Input/output error");
        }
        EXPECT_EQ(ReadText(dir.Path("keep.ini")), "[S]\nk=old\n");
        EXPECT_EQ(ini.ReadString(u"S", u"k", u""), u"old");
        EXPECT_EQ(dir.EntryCount(), entries) << "temporary file left behind at step " << step;
    }
    ini.WriteString(u"S", u"k", u"new"); // faults are one-shot
    EXPECT_EQ(ReadText(dir.Path("keep.ini")), "[S]\nk=new\n");

    // Permissions survive the rename-based rewrite.
    ASSERT_EQ(::chmod(dir.Path("keep.ini").c_str(), 0640), 0);
    ini.WriteString(u"S", u"k", u"again");
    struct stat st {};
    ASSERT_EQ(::stat(dir.Path("keep.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(IniFiles, ReadOnlyFolderRaisesAndKeepsFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
    TTempDir dir;
    WriteText(dir.Path("ro.ini"), "[S]\nk=old\n");
    ASSERT_EQ(::chmod(dir.Root().c_str(), 0500), 0);
    TIniFile ini(dir.File("ro.ini"));
    try {
        ini.WriteString(u"S", u"k", u"new");
        ADD_FAILURE() << "wrote into a read-only folder";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), u"Unable to write to \"" + ini.FileName() + u"\". Permission denied");
    }
    EXPECT_EQ(ReadText(dir.Path("ro.ini")), "[S]\nk=old\n");
}

TEST(IniFiles, MemIniFileWritesOnlyOnUpdate) {
    TTempDir dir;
    WriteText(dir.Path("m.ini"), "; c\n[S]\nk=1\n");
    TMemIniFile mem(dir.File("m.ini"));
    mem.WriteString(u"S", u"k", u"2");
    mem.WriteBool(u"T", u"b", false);
    EXPECT_EQ(mem.ReadString(u"s", u"K", u""), u"2");
    EXPECT_EQ(ReadText(dir.Path("m.ini")), "; c\n[S]\nk=1\n");
    mem.UpdateFile();
    EXPECT_EQ(ReadText(dir.Path("m.ini")), "; c\n[S]\nk=2\n\n[T]\nb=0\n");

    TStringList lines;
    mem.GetStrings(&lines);
    EXPECT_EQ(ListOf(lines), (std::vector<String>{u"; c", u"[S]", u"k=2", u"", u"[T]", u"b=0"}));
    lines.Clear();
    lines.Add(u"[New]");
    lines.Add(u"x=y");
    mem.SetStrings(&lines);
    EXPECT_EQ(mem.ReadString(u"S", u"k", u"gone"), u"gone");
    EXPECT_EQ(mem.ReadString(u"New", u"x", u""), u"y");
    mem.Rename(dir.File("other.ini"), false);
    mem.UpdateFile();
    EXPECT_EQ(ReadText(dir.Path("other.ini")), "[New]\nx=y\n");
    mem.Rename(dir.File("m.ini"), true);
    EXPECT_EQ(mem.ReadString(u"S", u"k", u""), u"2");
    mem.Clear();
    mem.ReadSections(&lines);
    EXPECT_EQ(lines.Count(), 0);

    TMemIniFile blocked(dir.File("m.ini/x.ini"));
    EXPECT_THROW(blocked.UpdateFile(), EIniFileException);
}

// Random bytes, biased towards the characters the format gives meaning to. Whatever the
// input, parsing never raises, every listed key reads back its listed value, and a
// rewrite by TIniFile reads back the same as the input did.
TEST(IniFiles, RandomInputParsesConsistently) {
    TTempDir dir(/*inMemory=*/true);
    std::mt19937 random(20240611);
    const std::string special = "[]=;; \t\r\n\r\n\xEF\xBB\xBF\xC3\xA4\xFF\x80"
                                "ab";
    const std::string path = dir.Path("fuzz.ini");
    using TSnapshot = std::vector<std::pair<String, std::vector<String>>>;
    auto snapshot = [](TCustomIniFile& ini) {
        TSnapshot out;
        TStringList sections, values;
        ini.ReadSections(&sections);
        for (Integer i = 0; i < sections.Count(); ++i) {
            ini.ReadSectionValues(sections.Strings(i), &values);
            out.emplace_back(sections.Strings(i), ListOf(values));
        }
        return out;
    };
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 200, '\0');
        for (char& c : bytes)
            c = random() % 3 == 0 ? static_cast<char>(random() % 256) : special[random() % special.size()];
        WriteText(path, bytes);
        try {
            TMemIniFile mem(UTF8ToString(path));
            const TSnapshot before = snapshot(mem);
            for (const auto& [section, values] : before) {
                for (const String& line : values) {
                    const size_t eq = line.find(u'=');
                    ASSERT_NE(eq, String::npos);
                    const String key = line.substr(0, eq);
                    EXPECT_FALSE(key.empty());
                    EXPECT_EQ(mem.ReadString(section, key, u"\x01missing"), line.substr(eq + 1));
                }
            }
            // A rewrite keeps what was readable: in memory every round, on disk (where
            // each write costs an fsync) every 200th.
            mem.WriteString(u"\u2603fuzz", u"k", u"v");
            TStringList lines;
            mem.GetStrings(&lines);
            TMemIniFile reparsed(dir.File("unused.ini"));
            reparsed.SetStrings(&lines);
            TSnapshot inMemory = snapshot(reparsed);
            ASSERT_FALSE(inMemory.empty());
            inMemory.pop_back();
            EXPECT_EQ(inMemory, before) << "round " << round;
            if (round % 200 != 0) continue;
            TIniFile ini(UTF8ToString(path));
            EXPECT_EQ(snapshot(ini), before);
            ini.WriteString(u"\u2603fuzz", u"k", u"v");
            TSnapshot after = snapshot(ini);
            ASSERT_FALSE(after.empty());
            EXPECT_EQ(after.back().first, u"\u2603fuzz");
            after.pop_back();
            EXPECT_EQ(after, before) << "round " << round;
        } catch (const std::exception& e) {
            ADD_FAILURE() << "round " << round << " raised " << e.what();
        }
    }
}

} // namespace
} // namespace mv
