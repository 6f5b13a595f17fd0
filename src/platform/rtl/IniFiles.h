// INI files with the framework's interface: the abstract TCustomIniFile, TIniFile (a real
// file, every change written through at once and crash-safe) and TMemIniFile (held in
// memory until UpdateFile). The per-user key store (TRegistryIniFile) is in Registry.h.
#pragma once

#include "platform/rtl/Persistent.h"
#include "platform/rtl/RtlTypes.h"

#include <memory>
#include <string>

namespace mv {

class TStrings;
class TIniDocument; // the parsed lines of one file (IniFiles.cpp)

// Section and key names compare without regard to case (Unicode simple case mapping) and
// without the blanks around them, as the file keeps them trimmed.
class TCustomIniFile : public TObject {
public:
    explicit TCustomIniFile(const String& fileName) : FFileName(fileName) {}
    const String& FileName() const { return FFileName; }

    virtual String ReadString(StringView section, StringView ident, StringView defaultValue) = 0;
    // Raises EIniFileException "Invalid name ..." for a key that could not be read back
    // (empty, holding '=' or a line break, starting with '[' or ';') or a section name with
    // a line break, and "Value of ... contains a line break" for such a value.
    virtual void WriteString(StringView section, StringView ident, StringView value) = 0;

    // Decimal, "$1A" or "0x1A"; anything else gives defaultValue.
    virtual Integer ReadInteger(StringView section, StringView ident, Integer defaultValue);
    virtual void WriteInteger(StringView section, StringView ident, Integer value);
    // Read as an integer, non-zero is true (so "True" gives defaultValue, as the
    // framework's does); written as "1"/"0".
    virtual bool ReadBool(StringView section, StringView ident, bool defaultValue);
    virtual void WriteBool(StringView section, StringView ident, bool value);
    // Texts of the global FormatSettings (FloatToStr/StrToFloat, DateToStr/StrToDate ...);
    // a value that does not convert gives defaultValue.
    virtual double ReadFloat(StringView section, StringView ident, double defaultValue);
    virtual void WriteFloat(StringView section, StringView ident, double value);
    virtual TDateTime ReadDate(StringView section, StringView ident, TDateTime defaultValue);
    virtual void WriteDate(StringView section, StringView ident, TDateTime value);
    virtual TDateTime ReadDateTime(StringView section, StringView ident, TDateTime defaultValue);
    virtual void WriteDateTime(StringView section, StringView ident, TDateTime value);
    virtual TDateTime ReadTime(StringView section, StringView ident, TDateTime defaultValue);
    virtual void WriteTime(StringView section, StringView ident, TDateTime value);

    // Each replaces the content of strings: the section's key names / the section names /
    // the section's "name=value" lines, in file order, each name once.
    virtual void ReadSection(StringView section, TStrings* strings) = 0;
    virtual void ReadSections(TStrings* strings) = 0;
    virtual void ReadSectionValues(StringView section, TStrings* strings) = 0;
    virtual void EraseSection(StringView section) = 0;
    virtual void DeleteKey(StringView section, StringView ident) = 0;
    // Writes what is held in memory (TMemIniFile); nothing to do where writes go through.
    virtual void UpdateFile() = 0;

    // True when the section has at least one key (a bare "[Section]" line does not
    // count, as in the framework).
    virtual bool SectionExists(StringView section);
    virtual bool ValueExists(StringView section, StringView ident);

protected:
    String FFileName;
};

// A UTF-8 file (a leading byte-order mark is accepted and kept). Lines: "[Section]",
// "key=value" (the value is everything after the first '='; key and value are trimmed),
// comments starting with ';'. Comments, blank lines and lines that are neither are kept
// as they are when the file is rewritten, and so are untouched key lines. Keys before
// the first section are kept but not readable. A section that occurs twice reads as one.
//
// Every read sees the file as it is now, so values written by another object or process
// show at once; every Write/Erase/Delete is on disk before it returns, replacing the file
// as a whole (temporary file, fsync, rename), so a crash leaves the old or the new file.
// A missing file reads as empty and is created by the first write. A file that cannot be
// read, or written, raises EIniFileException "Unable to read/write to "<file>". <error>"
// and the file stays as it was.
// FIXME(ini): two processes writing the same file at the same moment can lose one of the
// writes (last rename wins); there is no lock between readers and writers.
class TIniFile : public TCustomIniFile {
public:
    explicit TIniFile(const String& fileName);
    ~TIniFile() override;

    String ReadString(StringView section, StringView ident, StringView defaultValue) override;
    void WriteString(StringView section, StringView ident, StringView value) override;
    void ReadSection(StringView section, TStrings* strings) override;
    void ReadSections(TStrings* strings) override;
    void ReadSectionValues(StringView section, TStrings* strings) override;
    void EraseSection(StringView section) override;
    void DeleteKey(StringView section, StringView ident) override;
    void UpdateFile() override {}

private:
    void Refresh();
    void Persist();

    std::unique_ptr<TIniDocument> FDocument;
    std::string FPath;
    std::string FBytes; // the file's content as last read or written
    bool FLoaded = false;
};

// The same file format, read once at construction and held in memory; changes reach the
// file only through UpdateFile (crash-safe as TIniFile's writes). A missing file starts
// empty; an unreadable one raises EIniFileException.
class TMemIniFile : public TCustomIniFile {
public:
    explicit TMemIniFile(const String& fileName);
    ~TMemIniFile() override;

    String ReadString(StringView section, StringView ident, StringView defaultValue) override;
    void WriteString(StringView section, StringView ident, StringView value) override;
    void ReadSection(StringView section, TStrings* strings) override;
    void ReadSections(TStrings* strings) override;
    void ReadSectionValues(StringView section, TStrings* strings) override;
    void EraseSection(StringView section) override;
    void DeleteKey(StringView section, StringView ident) override;
    // Raises EIniFileException "Unable to write to ..." and keeps the file as it was.
    void UpdateFile() override;

    // Forgets every section (the file is untouched until UpdateFile).
    void Clear();
    // The lines of the file as UpdateFile would write them / replaces them from lines.
    void GetStrings(TStrings* strings) const;
    void SetStrings(const TStrings* strings);
    // Points at another file; with reload its content replaces what is held.
    void Rename(const String& fileName, bool reload);

private:
    void Load();

    std::unique_ptr<TIniDocument> FDocument;
};

} // namespace mv
