// Streams: positions and sizes at the edges, memory growth, copying, file errors, text.
#include "platform/rtl/Streams.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Utf8.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

namespace mv {
namespace {

class TTempDir {
public:
    TTempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "mvstreams.XXXXXX").string();
        FPath = ::mkdtemp(pattern.data());
    }
    ~TTempDir() { std::filesystem::remove_all(FPath); }
    String File(const char* name) const { return UTF8ToString(FPath + "/" + name); }
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};

std::string ReadAll(TStream& s) {
    std::string out(static_cast<size_t>(s.GetSize()), '\0');
    s.SetPosition(0);
    s.ReadBuffer(out.data(), static_cast<Integer>(out.size()));
    return out;
}

TEST(Streams, MemoryStreamPositionsSizeAndReadsPastTheEnd) {
    TMemoryStream m;
    EXPECT_EQ(m.GetSize(), 0);
    char buf[8] = {};
    EXPECT_EQ(m.Read(buf, 4), 0);
    m.WriteBuffer("abcdef", 6);
    EXPECT_EQ(m.GetPosition(), 6);
    EXPECT_EQ(m.Seek(-2, soEnd), 4);
    EXPECT_EQ(m.Read(buf, 8), 2); // only what is left
    EXPECT_EQ(std::string(buf, 2), "ef");
    EXPECT_EQ(m.Read(buf, 8), 0);
    EXPECT_EQ(m.Seek(-1, soCurrent), 5);
    EXPECT_EQ(m.Seek(10, soBeginning), 10);
    EXPECT_EQ(m.Read(buf, 1), 0);
    EXPECT_EQ(m.GetSize(), 6); // seeking alone does not grow
    m.WriteBuffer("Z", 1);     // writing past the end fills the gap with zeros
    EXPECT_EQ(m.GetSize(), 11);
    EXPECT_EQ(ReadAll(m), std::string("abcdef\0\0\0\0Z", 11));

    m.SetPosition(-3);
    EXPECT_EQ(m.Read(buf, 1), 0);
    EXPECT_EQ(m.Write("x", 1), 0);
    EXPECT_THROW(m.ReadBuffer(buf, 1), EReadError);

    m.SetPosition(9);
    try {
        m.ReadBuffer(buf, 5);
        ADD_FAILURE() << "short ReadBuffer did not raise";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), u"Stream read error");
    }
    m.Clear();
    EXPECT_EQ(m.GetSize(), 0);
    EXPECT_EQ(m.GetPosition(), 0);
    EXPECT_EQ(m.Capacity(), 0);
}

TEST(Streams, MemoryStreamGrowsGeometricallyAndSetSizeKeepsData) {
    TMemoryStream m;
    std::set<Int64> capacities;
    for (int i = 0; i < 100000; ++i) {
        const Byte b = static_cast<Byte>(i * 7);
        m.WriteBuffer(&b, 1);
        capacities.insert(m.Capacity());
    }
    EXPECT_LT(capacities.size(), 40u) << "capacity must grow by a factor, not by a constant";
    EXPECT_GE(m.Capacity(), 100000);
    const auto* p = static_cast<const Byte*>(m.Memory());
    EXPECT_EQ(p[0], 0);
    EXPECT_EQ(p[99999], static_cast<Byte>(99999 * 7));

    TMemoryStream s;
    s.WriteBuffer("hello world", 11);
    s.SetSize(5);
    EXPECT_EQ(s.GetPosition(), 5); // clamped to the new end
    EXPECT_EQ(ReadAll(s), "hello");
    s.SetPosition(2);
    s.SetSize(8); // growth is zero-filled, not the old " wo"
    EXPECT_EQ(s.GetPosition(), 2);
    EXPECT_EQ(ReadAll(s), std::string("hello\0\0\0", 8));
    s.SetSize(-4);
    EXPECT_EQ(s.GetSize(), 0);
}

TEST(Streams, CopyFromWholeSourceOrCount) {
    TMemoryStream source;
    source.WriteBuffer("0123456789", 10);
    TMemoryStream dest;
    dest.WriteBuffer(">", 1);
    EXPECT_EQ(dest.CopyFrom(source, 0), 10); // position at the end, still copies it all
    EXPECT_EQ(ReadAll(dest), ">0123456789");

    source.SetPosition(3);
    TMemoryStream part;
    EXPECT_EQ(part.CopyFrom(source, 4), 4);
    EXPECT_EQ(ReadAll(part), "3456");
    EXPECT_EQ(source.GetPosition(), 7);
    EXPECT_THROW(part.CopyFrom(source, 5), EReadError); // only 3 left

    // More than one internal buffer's worth.
    TMemoryStream big;
    std::string bytes(200000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i % 251);
    big.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
    TMemoryStream copy;
    EXPECT_EQ(copy.CopyFrom(big, 0), 200000);
    EXPECT_EQ(ReadAll(copy), bytes);
}

TEST(Streams, FileStreamModesAndErrors) {
    TTempDir dir;
    const String name = dir.File("data.bin");
    {
        TFileStream f(name, fmCreate);
        f.WriteBuffer("abcdef", 6);
        EXPECT_EQ(f.GetSize(), 6);
        EXPECT_EQ(f.FileName(), name);
    }
    {
        TFileStream f(name, fmOpenReadWrite | fmShareDenyNone); // share mode ignored
        EXPECT_EQ(f.GetSize(), 6);                              // opening does not truncate
        f.Seek(0, soEnd);
        f.WriteBuffer("gh", 2);
        f.SetSize(3);
        EXPECT_EQ(f.GetPosition(), 3);
        EXPECT_EQ(ReadAll(f), "abc");
    }
    {
        TFileStream f(name, fmOpenRead);
        EXPECT_EQ(ReadAll(f), "abc");
        EXPECT_THROW(f.WriteBuffer("x", 1), EWriteError); // opened read-only
        char c;
        EXPECT_EQ(f.Read(&c, 1), 0);
    }
    {
        TFileStream f(name, fmCreate); // truncates
        EXPECT_EQ(f.GetSize(), 0);
    }

    const String missing = dir.File("missing.bin");
    try {
        TFileStream f(missing, fmOpenRead);
        ADD_FAILURE() << "opened a missing file";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), u"Cannot open file \"" + missing + u"\". No such file or directory");
    }
    const String inMissingFolder = dir.File("nope/x.bin");
    try {
        TFileStream f(inMissingFolder, fmCreate);
        ADD_FAILURE() << "created a file in a missing folder";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), u"Cannot create file \"" + inMissingFolder + u"\". No such file or directory");
    }
    try {
        TFileStream f(UTF8ToString(dir.Path()), fmOpenRead);
        ADD_FAILURE() << "opened a folder as a file stream";
    } catch (const EFOpenError& e) {
        EXPECT_NE(e.Message().find(u"Is a directory"), String::npos) << e.what();
    }
    EXPECT_THROW(TFileStream(missing, fmOpenWrite), EStreamError);
}

TEST(Streams, MemoryStreamFilesAndStreamsRoundTrip) {
    TTempDir dir;
    TMemoryStream m;
    m.WriteBuffer("payload\0bytes", 13);
    m.SetPosition(4);
    m.SaveToFile(dir.File("m.bin"));
    EXPECT_EQ(m.GetPosition(), 4);

    TMemoryStream loaded;
    loaded.LoadFromFile(dir.File("m.bin"));
    EXPECT_EQ(ReadAll(loaded), std::string("payload\0bytes", 13));

    TStringStream text(u"abc");
    text.Seek(0, soEnd); // LoadFromStream reads from the start regardless
    loaded.LoadFromStream(text);
    EXPECT_EQ(ReadAll(loaded), "abc");
    EXPECT_THROW(loaded.LoadFromFile(dir.File("none")), EFOpenError);
}

TEST(Streams, StringStreamHoldsUtf8) {
    TStringStream s(u"Grüße €");
    EXPECT_EQ(s.GetSize(), 11); // ü ß 2 bytes each, € 3
    EXPECT_EQ(s.GetPosition(), 0);
    EXPECT_EQ(s.DataString(), u"Grüße €");
    EXPECT_EQ(s.ReadString(3), u"Gr\uFFFD"); // cut inside ü
    s.SetPosition(0);
    EXPECT_EQ(s.ReadString(100), u"Grüße €");
    EXPECT_EQ(s.ReadString(5), u"");
    s.SetPosition(0);
    s.WriteString(u"XY");
    EXPECT_EQ(s.DataString(), u"XYüße €");
    s.Seek(0, soEnd);
    s.WriteString(u"!");
    EXPECT_EQ(s.DataString(), u"XYüße €!");
    TStringStream empty;
    EXPECT_EQ(empty.GetSize(), 0);
    EXPECT_EQ(empty.DataString(), u"");
}

} // namespace
} // namespace mv
