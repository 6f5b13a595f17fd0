// TCustomIniFile's typed reads and writes, the INI line model (TIniDocument), TIniFile
// (write-through, crash-safe) and TMemIniFile (in memory until UpdateFile).
//
// [SECTION] TIniDocument     parsing, lookups and edits of the lines of one file
// [SECTION] TCustomIniFile   integers, booleans, floats and dates over ReadString/WriteString
// [SECTION] TIniFile         re-read before each call, written through after each change
// [SECTION] TMemIniFile      loaded once, written by UpdateFile
#include "platform/rtl/IniFiles.h"

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Utf8.h"

#include <cassert>
#include <cerrno>
#include <vector>

namespace mv {

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

// The form names are compared in: trimmed, as the file stores them, and case-mapped.
String FoldName(StringView name) {
    return AnsiUpperCase(Trim(name));
}

bool HasLineBreak(StringView s) {
    return s.find_first_of(u"\r\n") != StringView::npos;
}

// A key that would read back as something else (or not at all) cannot be written.
bool IsWritableKey(StringView key) {
    return !key.empty() && key.front() != u'[' && key.front() != u';' && key.find(u'=') == StringView::npos &&
           !HasLineBreak(key);
}

void CheckWrite(const String& fileName, StringView section, StringView ident, StringView value) {
    if (HasLineBreak(section))
        throw EIniFileException(Format(SysConst::SIniFileInvalidName, {section, fileName}));
    const String key = Trim(ident);
    if (!IsWritableKey(key))
        throw EIniFileException(Format(SysConst::SIniFileInvalidName, {ident, fileName}));
    if (HasLineBreak(value)) throw EIniFileException(Format(SysConst::SIniFileInvalidValue, {key, fileName}));
}

// A file that cannot exist because a folder on its path is missing reads as empty.
bool IsMissingFileError(int error) {
    return error == ENOENT || error == ENOTDIR;
}

void FillStrings(TStrings* strings, const std::vector<String>& lines) {
    assert(strings && "INI file: a TStrings to fill is required");
    strings->BeginUpdate();
    try {
        strings->Clear();
        for (const String& line : lines)
            strings->Add(line);
    } catch (...) {
        strings->EndUpdate();
        throw;
    }
    strings->EndUpdate();
}

} // namespace

// =========================================================================================
// [SECTION] TIniDocument
// =========================================================================================

// The lines of an INI file in order. Every line keeps its original text (Raw) so that a
// rewrite changes only the lines that were edited; section and key lines also carry their
// parsed name, folded name and value. A key line belongs to the nearest section line
// above it; key lines above the first section belong to none and are never matched.
class TIniDocument {
public:
    void Parse(std::string_view bytes) {
        FHasBom = bytes.substr(0, Utf8Bom.size()) == Utf8Bom;
        if (FHasBom) bytes.remove_prefix(Utf8Bom.size());
        ParseText(UTF8ToString(bytes));
    }

    void ParseText(StringView text) {
        FLines.clear();
        size_t start = 0;
        while (start < text.size()) {
            const size_t end = text.find_first_of(u"\r\n", start);
            if (end == StringView::npos) {
                FLines.push_back(ParseLine(text.substr(start)));
                break;
            }
            FLines.push_back(ParseLine(text.substr(start, end - start)));
            start = end + 1;
            if (text[end] == u'\r' && start < text.size() && text[start] == u'\n') ++start;
        }
    }

    std::string Serialize() const {
        std::string out = FHasBom ? std::string(Utf8Bom) : std::string();
        for (const TLine& line : FLines) {
            out += UTF8Encode(line.Raw);
            out += '\n';
        }
        return out;
    }

    std::vector<String> Lines() const {
        std::vector<String> lines;
        lines.reserve(FLines.size());
        for (const TLine& line : FLines)
            lines.push_back(line.Raw);
        return lines;
    }

    void Clear() { FLines.clear(); }

    bool Find(StringView section, StringView key, String& value) const {
        const size_t i = FindKey(FoldName(section), FoldName(key));
        if (i == npos) return false;
        value = FLines[i].Value;
        return true;
    }

    // Unique section names in file order, as first spelled.
    std::vector<String> Sections() const {
        std::vector<String> names, folded;
        for (const TLine& line : FLines) {
            if (line.Kind != lkSection || Contains(folded, line.Folded)) continue;
            names.push_back(line.Name);
            folded.push_back(line.Folded);
        }
        return names;
    }

    // "name" or "name=value" for each key of the section, first occurrence only.
    std::vector<String> Keys(StringView section, bool withValues) const {
        const String wanted = FoldName(section);
        std::vector<String> out, seen;
        const String* current = nullptr;
        for (const TLine& line : FLines) {
            if (line.Kind == lkSection) current = &line.Folded;
            if (line.Kind != lkKey || !current || *current != wanted || Contains(seen, line.Folded)) continue;
            seen.push_back(line.Folded);
            out.push_back(withValues ? line.Name + u"=" + line.Value : line.Name);
        }
        return out;
    }

    // Replaces the value of the key's first occurrence, else adds the key at the end of
    // the section's keys (before comments that lead into the next section), else adds the
    // section at the end of the file.
    void Set(StringView section, StringView key, StringView value) {
        const String sectionFolded = FoldName(section);
        const String keyFolded = FoldName(key);
        // The value is written as given; like every read, the model keeps it trimmed.
        if (const size_t i = FindKey(sectionFolded, keyFolded); i != npos) {
            if (FLines[i].Value == Trim(value)) return; // keep the line exactly as it was
            FLines[i].Value = Trim(value);
            FLines[i].Raw = FLines[i].Name + u"=" + String(value);
            return;
        }
        TLine line{lkKey, String(), Trim(key), keyFolded, Trim(value)};
        line.Raw = line.Name + u"=" + String(value);
        size_t insertAt = npos;
        for (size_t i = 0; i < FLines.size(); ++i) {
            if (FLines[i].Kind != lkSection || FLines[i].Folded != sectionFolded) continue;
            insertAt = i + 1;
            for (size_t j = i + 1; j < FLines.size() && FLines[j].Kind != lkSection; ++j)
                if (FLines[j].Kind == lkKey) insertAt = j + 1;
            break;
        }
        if (insertAt != npos) {
            FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(line));
            return;
        }
        if (!FLines.empty() && !Trim(FLines.back().Raw).empty()) FLines.push_back(ParseLine(u""));
        FLines.push_back(ParseLine(u"[" + Trim(section) + u"]"));
        FLines.push_back(std::move(line));
    }

    // Removes every occurrence of the section with all its lines.
    void EraseSection(StringView section) {
        const String wanted = FoldName(section);
        bool inside = false;
        std::erase_if(FLines, [&](const TLine& line) {
            if (line.Kind == lkSection) inside = line.Folded == wanted;
            return inside;
        });
    }

    // Removes every occurrence of the key in every occurrence of the section.
    void DeleteKey(StringView section, StringView key) {
        const String sectionFolded = FoldName(section);
        const String keyFolded = FoldName(key);
        bool inside = false;
        std::erase_if(FLines, [&](const TLine& line) {
            if (line.Kind == lkSection) inside = line.Folded == sectionFolded;
            return inside && line.Kind == lkKey && line.Folded == keyFolded;
        });
    }

private:
    enum TLineKind { lkOther, lkSection, lkKey };
    struct TLine {
        TLineKind Kind;
        String Raw;
        String Name;   // trimmed section or key name
        String Folded; // FoldName(Name)
        String Value;  // trimmed value of a key line
    };
    static constexpr size_t npos = static_cast<size_t>(-1);

    static bool Contains(const std::vector<String>& list, const String& s) {
        for (const String& item : list)
            if (item == s) return true;
        return false;
    }

    static TLine ParseLine(StringView raw) {
        TLine line{lkOther, String(raw), {}, {}, {}};
        const String text = Trim(raw);
        if (text.empty() || text.front() == u';') return line;
        if (text.front() == u'[') {
            // "[Name]" with anything after the last ']' ignored; no ']' at all is no section.
            const size_t close = text.rfind(u']');
            if (close == String::npos) return line;
            line.Kind = lkSection;
            line.Name = Trim(StringView(text).substr(1, close - 1));
            line.Folded = FoldName(line.Name);
            return line;
        }
        const size_t eq = raw.find(u'=');
        if (eq == StringView::npos) return line;
        line.Name = Trim(raw.substr(0, eq));
        if (line.Name.empty()) return line;
        line.Kind = lkKey;
        line.Folded = FoldName(line.Name);
        line.Value = Trim(raw.substr(eq + 1));
        return line;
    }

    size_t FindKey(const String& sectionFolded, const String& keyFolded) const {
        bool inside = false;
        for (size_t i = 0; i < FLines.size(); ++i) {
            const TLine& line = FLines[i];
            if (line.Kind == lkSection) inside = line.Folded == sectionFolded;
            if (inside && line.Kind == lkKey && line.Folded == keyFolded) return i;
        }
        return npos;
    }

    std::vector<TLine> FLines;
    bool FHasBom = false;
};

// =========================================================================================
// [SECTION] TCustomIniFile
// =========================================================================================

Integer TCustomIniFile::ReadInteger(StringView section, StringView ident, Integer defaultValue) {
    String text = ReadString(section, ident, u"");
    if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X'))
        text = u"$" + text.substr(2);
    return StrToIntDef(text, defaultValue);
}

void TCustomIniFile::WriteInteger(StringView section, StringView ident, Integer value) {
    WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(StringView section, StringView ident, bool defaultValue) {
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(StringView section, StringView ident, bool value) {
    WriteString(section, ident, value ? u"1" : u"0");
}

double TCustomIniFile::ReadFloat(StringView section, StringView ident, double defaultValue) {
    const String text = ReadString(section, ident, u"");
    double value = 0;
    return !text.empty() && TryStrToFloat(text, value) ? value : defaultValue;
}

void TCustomIniFile::WriteFloat(StringView section, StringView ident, double value) {
    WriteString(section, ident, FloatToStr(value));
}

TDateTime TCustomIniFile::ReadDate(StringView section, StringView ident, TDateTime defaultValue) {
    const String text = ReadString(section, ident, u"");
    TDateTime value = 0;
    return !text.empty() && TryStrToDate(text, value) ? value : defaultValue;
}

void TCustomIniFile::WriteDate(StringView section, StringView ident, TDateTime value) {
    WriteString(section, ident, DateToStr(value));
}

TDateTime TCustomIniFile::ReadDateTime(StringView section, StringView ident, TDateTime defaultValue) {
    const String text = ReadString(section, ident, u"");
    TDateTime value = 0;
    return !text.empty() && TryStrToDateTime(text, value) ? value : defaultValue;
}

void TCustomIniFile::WriteDateTime(StringView section, StringView ident, TDateTime value) {
    WriteString(section, ident, DateTimeToStr(value));
}

TDateTime TCustomIniFile::ReadTime(StringView section, StringView ident, TDateTime defaultValue) {
    const String text = ReadString(section, ident, u"");
    TDateTime value = 0;
    return !text.empty() && TryStrToTime(text, value) ? value : defaultValue;
}

void TCustomIniFile::WriteTime(StringView section, StringView ident, TDateTime value) {
    WriteString(section, ident, TimeToStr(value));
}

bool TCustomIniFile::SectionExists(StringView section) {
    TStringList keys;
    ReadSection(section, &keys);
    return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(StringView section, StringView ident) {
    TStringList keys;
    ReadSection(section, &keys);
    return keys.IndexOf(Trim(ident)) >= 0;
}

// =========================================================================================
// [SECTION] TIniFile
// =========================================================================================

TIniFile::TIniFile(const String& fileName)
    : TCustomIniFile(fileName), FDocument(std::make_unique<TIniDocument>()), FPath(UTF8Encode(fileName)) {}

TIniFile::~TIniFile() = default;

// Re-reads the file; parses it again only when its bytes changed since the last look.
void TIniFile::Refresh() {
    std::string bytes;
    const int error = ReadWholeFile(FPath, bytes);
    if (error != 0 && !IsMissingFileError(error))
        throw EIniFileException(Format(SysConst::SIniFileReadError, {FFileName, SystemErrorText(error)}));
    if (FLoaded && bytes == FBytes) return;
    FDocument->Parse(bytes);
    FBytes = std::move(bytes);
    FLoaded = true;
}

// Writes the edited document; on failure goes back to the file's content and raises.
void TIniFile::Persist() {
    std::string bytes = FDocument->Serialize();
    if (bytes == FBytes) return;
    if (const int error = WriteFileAtomically(FPath, bytes); error != 0) {
        FDocument->Parse(FBytes);
        throw EIniFileException(Format(SysConst::SIniFileWriteError, {FFileName, SystemErrorText(error)}));
    }
    FBytes = std::move(bytes);
}

String TIniFile::ReadString(StringView section, StringView ident, StringView defaultValue) {
    Refresh();
    String value;
    return FDocument->Find(section, ident, value) ? value : String(defaultValue);
}

void TIniFile::WriteString(StringView section, StringView ident, StringView value) {
    CheckWrite(FFileName, section, ident, value);
    Refresh();
    FDocument->Set(section, ident, value);
    Persist();
}

void TIniFile::ReadSection(StringView section, TStrings* strings) {
    Refresh();
    FillStrings(strings, FDocument->Keys(section, false));
}

void TIniFile::ReadSections(TStrings* strings) {
    Refresh();
    FillStrings(strings, FDocument->Sections());
}

void TIniFile::ReadSectionValues(StringView section, TStrings* strings) {
    Refresh();
    FillStrings(strings, FDocument->Keys(section, true));
}

void TIniFile::EraseSection(StringView section) {
    Refresh();
    FDocument->EraseSection(section);
    Persist();
}

void TIniFile::DeleteKey(StringView section, StringView ident) {
    Refresh();
    FDocument->DeleteKey(section, ident);
    Persist();
}

// =========================================================================================
// [SECTION] TMemIniFile
// =========================================================================================

TMemIniFile::TMemIniFile(const String& fileName)
    : TCustomIniFile(fileName), FDocument(std::make_unique<TIniDocument>()) {
    Load();
}

TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::Load() {
    std::string bytes;
    const int error = ReadWholeFile(UTF8Encode(FFileName), bytes);
    if (error != 0 && !IsMissingFileError(error))
        throw EIniFileException(Format(SysConst::SIniFileReadError, {FFileName, SystemErrorText(error)}));
    FDocument->Parse(bytes);
}

String TMemIniFile::ReadString(StringView section, StringView ident, StringView defaultValue) {
    String value;
    return FDocument->Find(section, ident, value) ? value : String(defaultValue);
}

void TMemIniFile::WriteString(StringView section, StringView ident, StringView value) {
    CheckWrite(FFileName, section, ident, value);
    FDocument->Set(section, ident, value);
}

void TMemIniFile::ReadSection(StringView section, TStrings* strings) {
    FillStrings(strings, FDocument->Keys(section, false));
}

void TMemIniFile::ReadSections(TStrings* strings) {
    FillStrings(strings, FDocument->Sections());
}

void TMemIniFile::ReadSectionValues(StringView section, TStrings* strings) {
    FillStrings(strings, FDocument->Keys(section, true));
}

void TMemIniFile::EraseSection(StringView section) {
    FDocument->EraseSection(section);
}

void TMemIniFile::DeleteKey(StringView section, StringView ident) {
    FDocument->DeleteKey(section, ident);
}

void TMemIniFile::UpdateFile() {
    if (const int error = WriteFileAtomically(UTF8Encode(FFileName), FDocument->Serialize()); error != 0)
        throw EIniFileException(Format(SysConst::SIniFileWriteError, {FFileName, SystemErrorText(error)}));
}

void TMemIniFile::Clear() {
    FDocument->Clear();
}

void TMemIniFile::GetStrings(TStrings* strings) const {
    FillStrings(strings, FDocument->Lines());
}

void TMemIniFile::SetStrings(const TStrings* strings) {
    assert(strings && "TMemIniFile::SetStrings: strings is required");
    String text;
    for (Integer i = 0; i < strings->Count(); ++i)
        text += strings->Strings(i) + u"\n";
    FDocument->ParseText(text);
}

void TMemIniFile::Rename(const String& fileName, bool reload) {
    FFileName = fileName;
    if (reload) Load();
}

} // namespace mv
