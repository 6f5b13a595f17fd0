// Byte streams with the framework's interface: the abstract TStream, streams over a file
// descriptor and a named file, a growable memory stream and a stream of UTF-8 text.
#pragma once

#include "platform/rtl/Persistent.h"
#include "platform/rtl/RtlTypes.h"

#include <string>
#include <vector>

namespace mv {

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// TFileStream modes: one access mode, optionally or-ed with a share mode. Share modes
// are accepted for compatibility and ignored (Linux has no mandatory sharing locks).
constexpr Word fmCreate = 0xFF00; // create or truncate, then read and write
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
constexpr Word fmShareCompat = 0x0000;
constexpr Word fmShareExclusive = 0x0010;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyRead = 0x0030;
constexpr Word fmShareDenyNone = 0x0040;

class TStream : public TObject {
public:
    // Reads up to count bytes at the position and advances it; returns the bytes read,
    // 0 at or past the end (never an exception for a short read).
    virtual Integer Read(void* buffer, Integer count) = 0;
    // Writes up to count bytes at the position and advances it; returns the bytes written.
    virtual Integer Write(const void* buffer, Integer count) = 0;
    // Returns the new position. Seeking past the end is allowed; the stream grows only
    // when something is written there.
    virtual Int64 Seek(Int64 offset, TSeekOrigin origin) = 0;

    Int64 GetPosition() { return Seek(0, soCurrent); }
    void SetPosition(Int64 position) { Seek(position, soBeginning); }
    // The size found by seeking to the end; the position is restored.
    virtual Int64 GetSize();
    // Truncates or extends. The base class cannot and does nothing, as the framework's.
    virtual void SetSize(Int64 newSize);

    // Read/Write that must move exactly count bytes: raise EReadError "Stream read error"
    // / EWriteError "Stream write error" when fewer were moved.
    void ReadBuffer(void* buffer, Integer count);
    void WriteBuffer(const void* buffer, Integer count);
    // Copies count bytes from source's position to this stream's position. count <= 0
    // copies the whole source from its start. Returns the bytes copied; a source shorter
    // than count raises EReadError (what was copied before stays written).
    Int64 CopyFrom(TStream& source, Int64 count);
};

// A stream over an open file descriptor. The descriptor is not closed by this class.
class THandleStream : public TStream {
public:
    explicit THandleStream(int handle) : FHandle(handle) {}
    int Handle() const { return FHandle; }

    // A system error reads or writes 0 bytes, as the framework's does.
    Integer Read(void* buffer, Integer count) override;
    Integer Write(const void* buffer, Integer count) override;
    Int64 Seek(Int64 offset, TSeekOrigin origin) override;
    // Truncates or extends the file and moves the position to newSize, as the framework
    // does. Raises EStreamError "Cannot set the stream size to %d. %s" on failure.
    void SetSize(Int64 newSize) override;

protected:
    int FHandle;
};

// A named file. fmCreate creates it or empties an existing one; the other modes open an
// existing file. Failure raises EFCreateError "Cannot create file "%s". %s" or EFOpenError
// "Cannot open file "%s". %s" with the system's error text (a folder cannot be opened).
class TFileStream : public THandleStream {
public:
    TFileStream(const String& fileName, Word mode);
    ~TFileStream() override;
    const String& FileName() const { return FFileName; }

private:
    String FFileName;
};

// Bytes in memory. The capacity grows geometrically, so writing n bytes one at a time
// costs O(n); Memory() is valid until the next call that changes the size.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;

    // Read and Write at a negative position move nothing; a write past the end fills the
    // gap with zero bytes.
    Integer Read(void* buffer, Integer count) override;
    Integer Write(const void* buffer, Integer count) override;
    // Any position is accepted, without checks, as the framework does.
    Int64 Seek(Int64 offset, TSeekOrigin origin) override;
    Int64 GetSize() override { return FSize; }
    // Keeps the first min(old, new) bytes, zero-fills growth; a position beyond the new
    // size moves to the new end.
    void SetSize(Int64 newSize) override;

    void* Memory() { return FData.data(); }
    const void* Memory() const { return FData.data(); }
    Int64 Capacity() const { return static_cast<Int64>(FData.size()); }
    // Empties the stream and frees its memory.
    void Clear();

    // Replaces the content with the whole of stream (read from its start); the position
    // is kept (clamped to the new size).
    void LoadFromStream(TStream& stream);
    // Writes the whole content to stream at its position; this stream's position is kept.
    void SaveToStream(TStream& stream) const;
    void LoadFromFile(const String& fileName);
    void SaveToFile(const String& fileName) const;

protected:
    Int64 DataSize() const { return FSize; }

private:
    void SetCapacity(Int64 needed);

    std::vector<Byte> FData; // FData.size() is the capacity; bytes past FSize are zero
    Int64 FSize = 0;
    Int64 FPosition = 0;
};

// A memory stream of text, held as UTF-8 bytes.
class TStringStream : public TMemoryStream {
public:
    explicit TStringStream(StringView text = {});

    // The whole content decoded (invalid UTF-8 becomes U+FFFD).
    String DataString() const;
    // Writes text as UTF-8 at the position.
    void WriteString(StringView text);
    // Reads up to count bytes at the position and decodes them; a character cut at either
    // end decodes to U+FFFD.
    String ReadString(Integer count);
};

} // namespace mv
