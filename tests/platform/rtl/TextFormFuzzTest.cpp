// Randomized input for the text form reader and the INI reader: arbitrary bytes and
// mutations of valid text, a bounded number of iterations with fixed seeds. Neither may
// crash or hang; the form reader raises only its documented exceptions (EFilerError:
// EReadError, EClassNotFound), the INI reader none, and what it accepted it writes back.
#include "platform/rtl/Filer.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Utf8.h"
#include "StreamingSamples.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace mv {
namespace {

using namespace samples;

constexpr int kIterations = 2000;

// Pieces of the format that random mutations splice in, so that the reader's deeper
// paths are reached more often than random bytes alone would manage.
const char* const kFragments[] = {"object ",
                                  "inherited ",
                                  "end",
                                  "item",
                                  "'",
                                  "''",
                                  "#",
                                  "#$",
                                  "+",
                                  "=",
                                  "<",
                                  ">",
                                  "(",
                                  ")",
                                  "[",
                                  "]",
                                  "{",
                                  "}",
                                  ":",
                                  ",",
                                  "$",
                                  "-",
                                  ".",
                                  "1.5E",
                                  "99999999999999999999",
                                  "nil",
                                  "True",
                                  "Panel1",
                                  "Form1.Panel1",
                                  "\n",
                                  "Columns = <",
                                  "Items.Strings = (",
                                  "Font.",
                                  "Blob = {0A",
                                  "#1114112",
                                  "TSamplePanel",
                                  "TUnknown",
                                  "#55357",
                                  "\xF0\x9F\x98",
                                  "\xFF"};

std::string SampleText() {
    TSampleForm form(nullptr);
    form.SetName(u"Form1");
    auto* panel = new TSamplePanel(&form);
    panel->SetName(u"Panel1");
    panel->Caption = u"caption 'quoted' \u00e9";
    panel->Align = alTop;
    panel->Flags = {lfBold};
    panel->Items().Add(u"a");
    panel->SetSource(panel);
    panel->Blob = {1, 2, 3};
    panel->OrderText = u"A DESC";
    static_cast<TSampleItem*>(panel->Columns().Add())->FieldName = u"F";
    auto* inner = new TSamplePanel(&form);
    inner->SetName(u"Inner");
    inner->SetParentComponent(panel);
    inner->Ratio = 2.5;
    return UTF8Encode(ComponentToText(&form));
}

std::string Mutate(std::string text, std::mt19937& random) {
    int edits = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < edits; ++i) {
        size_t at = text.empty() ? 0 : random() % text.size();
        switch (random() % 4) {
        case 0: // drop a run
            text.erase(at, random() % 12);
            break;
        case 1: // flip a byte
            if (!text.empty()) text[at] = static_cast<char>(random() % 256);
            break;
        case 2: // splice in a fragment
            text.insert(at, kFragments[random() % std::size(kFragments)]);
            break;
        default: // truncate
            text.resize(at);
            break;
        }
    }
    return text;
}

std::string RandomBytes(std::mt19937& random) {
    std::string bytes(random() % 200, '\0');
    for (char& b : bytes)
        b = static_cast<char>(random() % 256);
    return bytes;
}

TEST(TextFormFuzzTest, ReaderRaisesOnlyFilerErrors) {
    RegisterSampleClasses();
    const std::string valid = SampleText();
    {
        // The seed text itself reads back.
        TMemoryStream stream;
        stream.WriteBuffer(valid.data(), static_cast<Integer>(valid.size()));
        stream.SetPosition(0);
        std::unique_ptr<TComponent> form(ReadComponentText(stream));
        ASSERT_NE(form->FindComponent(u"Inner"), nullptr);
    }
    std::mt19937 random(20240611);
    int accepted = 0;
    for (int i = 0; i < kIterations; ++i) {
        std::string input = i % 5 == 0 ? RandomBytes(random) : Mutate(valid, random);
        TMemoryStream stream;
        if (!input.empty()) stream.WriteBuffer(input.data(), static_cast<Integer>(input.size()));
        stream.SetPosition(0);
        try {
            if (i % 2 == 0) {
                std::unique_ptr<TComponent> form(ReadComponentText(stream));
            } else {
                TSampleForm root(nullptr);
                ReadComponentText(stream, &root);
            }
            ++accepted;
        } catch (const EFilerError&) {
            // documented
        } catch (const std::exception& e) {
            ADD_FAILURE() << "iteration " << i << ": undocumented exception " << e.what() << "\n" << input;
        }
    }
    // Some mutations leave the text valid (a changed caption letter, say).
    EXPECT_GT(accepted, 0);
}

// A fresh file per input: truncating one file over and over is slow on some file systems.
class TTempFiles {
public:
    TTempFiles() {
        std::string pattern = (std::filesystem::temp_directory_path() / "mvfuzzXXXXXX").string();
        FDir = mkdtemp(pattern.data());
    }
    ~TTempFiles() { std::filesystem::remove_all(FDir); }
    String Write(const std::string& bytes, int index) const {
        std::string path = FDir + "/fuzz" + std::to_string(index) + ".ini";
        std::ofstream(path, std::ios::binary) << bytes;
        return UTF8ToString(path);
    }

private:
    std::string FDir;
};

TEST(TextFormFuzzTest, IniReaderAcceptsAnyBytes) {
    TTempFiles files;
    std::mt19937 random(77);
    const std::string valid = "[Grid]\nWidth=10\n; note\n[Columns]\nA=1,2,3\n\n[Empty]\n";
    const char* const iniFragments[] = {"[",    "]", "=",     "\n", "\r\n", ";", "\xEF\xBB\xBF",
                                        "\xFF", " ", "[Grid]"};
    for (int i = 0; i < kIterations / 2; ++i) {
        std::string input;
        if (i % 3 == 0) {
            input = RandomBytes(random);
        } else {
            input = valid;
            for (int e = 0; e < 3; ++e) {
                size_t at = random() % (input.size() + 1);
                if (random() % 2)
                    input.insert(at, iniFragments[random() % std::size(iniFragments)]);
                else
                    input.erase(at, random() % 6);
            }
        }
        String path = files.Write(input, i);
        try {
            TMemIniFile ini(path);
            TStringList sections, values;
            ini.ReadSections(&sections);
            for (Integer s = 0; s < sections.Count(); ++s) {
                ini.ReadSectionValues(sections.Strings(s), &values);
                ini.SectionExists(sections.Strings(s));
            }
            // What was read survives a write of one more value (checked now and then:
            // each write syncs the disk).
            if (i % 40 != 0) continue;
            ini.WriteString(u"Fuzz", u"Key", u"value");
            ini.UpdateFile();
            TIniFile again(path);
            EXPECT_EQ(again.ReadString(u"Fuzz", u"Key", u""), u"value") << "iteration " << i;
            TStringList sectionsAgain;
            again.ReadSections(&sectionsAgain);
            EXPECT_GE(sectionsAgain.Count(), sections.Count()) << "iteration " << i;
        } catch (const std::exception& e) {
            ADD_FAILURE() << "iteration " << i << ": " << e.what();
        }
    }
}

} // namespace
} // namespace mv
