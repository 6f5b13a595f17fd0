// TStream, THandleStream, TFileStream, TMemoryStream and TStringStream.
#include "platform/rtl/Streams.h"

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace mv {

namespace {

// The framework's buffer size for CopyFrom.
constexpr Integer CopyBufferSize = 0xF000;
// Memory streams never hold less than this once they hold anything.
constexpr Int64 MinCapacity = 256;

} // namespace

// -- TStream ------------------------------------------------------------------------------

Int64 TStream::GetSize() {
    const Int64 position = Seek(0, soCurrent);
    const Int64 size = Seek(0, soEnd);
    Seek(position, soBeginning);
    return size;
}

void TStream::SetSize(Int64) {}

void TStream::ReadBuffer(void* buffer, Integer count) {
    if (count != 0 && Read(buffer, count) != count) throw EReadError(SysConst::SReadError);
}

void TStream::WriteBuffer(const void* buffer, Integer count) {
    if (count != 0 && Write(buffer, count) != count) throw EWriteError(SysConst::SWriteError);
}

Int64 TStream::CopyFrom(TStream& source, Int64 count) {
    if (count <= 0) {
        source.SetPosition(0);
        count = source.GetSize();
    }
    const Int64 total = count;
    std::vector<Byte> buffer(static_cast<size_t>(std::min<Int64>(count, CopyBufferSize)));
    while (count > 0) {
        const auto chunk = static_cast<Integer>(std::min<Int64>(count, CopyBufferSize));
        source.ReadBuffer(buffer.data(), chunk);
        WriteBuffer(buffer.data(), chunk);
        count -= chunk;
    }
    return total;
}

// -- THandleStream ------------------------------------------------------------------------

Integer THandleStream::Read(void* buffer, Integer count) {
    if (count <= 0) return 0;
    auto* out = static_cast<char*>(buffer);
    Integer done = 0;
    // read() may return less than asked (signals, pipes); keep going until the end.
    while (done < count) {
        const ssize_t got = ::read(FHandle, out + done, static_cast<size_t>(count - done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return done;
        if (got == 0) break;
        done += static_cast<Integer>(got);
    }
    return done;
}

Integer THandleStream::Write(const void* buffer, Integer count) {
    if (count <= 0) return 0;
    const auto* in = static_cast<const char*>(buffer);
    Integer done = 0;
    while (done < count) {
        const ssize_t put = ::write(FHandle, in + done, static_cast<size_t>(count - done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) break;
        done += static_cast<Integer>(put);
    }
    return done;
}

Int64 THandleStream::Seek(Int64 offset, TSeekOrigin origin) {
    static constexpr int Whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    return ::lseek(FHandle, offset, Whence[origin]);
}

void THandleStream::SetSize(Int64 newSize) {
    Seek(newSize, soBeginning);
    if (newSize < 0 || ::ftruncate(FHandle, newSize) != 0) {
        const int error = newSize < 0 ? EINVAL : errno;
        throw EStreamError(Format(SysConst::SStreamSetSizeError, {newSize, SystemErrorText(error)}));
    }
}

// -- TFileStream --------------------------------------------------------------------------

TFileStream::TFileStream(const String& fileName, Word mode) : THandleStream(-1), FFileName(fileName) {
    const std::string path = UTF8Encode(fileName);
    const bool create = (mode & fmCreate) == fmCreate;
    int flags = O_CLOEXEC;
    if (create) {
        flags |= O_RDWR | O_CREAT | O_TRUNC;
    } else {
        static constexpr int Access[] = {O_RDONLY, O_WRONLY, O_RDWR, O_RDONLY};
        flags |= Access[mode & 3];
    }
    FHandle = ::open(path.c_str(), flags, 0666);
    int error = FHandle < 0 ? errno : 0;
    struct stat st {};
    // A folder opens read-only on Linux; as a stream it is useless, so refuse it here.
    if (FHandle >= 0 && ::fstat(FHandle, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(FHandle);
        FHandle = -1;
        error = EISDIR;
    }
    if (FHandle >= 0) return;
    const String& text = create ? SysConst::SFCreateError : SysConst::SFOpenError;
    const String message = Format(text, {fileName, SystemErrorText(error)});
    if (create) throw EFCreateError(message);
    throw EFOpenError(message);
}

TFileStream::~TFileStream() {
    if (FHandle >= 0) ::close(FHandle);
}

// -- TMemoryStream ------------------------------------------------------------------------

Integer TMemoryStream::Read(void* buffer, Integer count) {
    if (FPosition < 0 || count <= 0 || FPosition >= FSize) return 0;
    const auto n = static_cast<Integer>(std::min<Int64>(count, FSize - FPosition));
    std::memcpy(buffer, FData.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

Integer TMemoryStream::Write(const void* buffer, Integer count) {
    if (FPosition < 0 || count <= 0) return 0;
    const Int64 end = FPosition + count;
    if (end > FSize) {
        SetCapacity(end);
        // The gap between the old end and the position is already zero: SetCapacity
        // zero-fills, and SetSize clears bytes it cuts off.
        FSize = end;
    }
    std::memcpy(FData.data() + FPosition, buffer, static_cast<size_t>(count));
    FPosition = end;
    return count;
}

Int64 TMemoryStream::Seek(Int64 offset, TSeekOrigin origin) {
    switch (origin) {
    case soBeginning:
        FPosition = offset;
        break;
    case soCurrent:
        FPosition += offset;
        break;
    case soEnd:
        FPosition = FSize + offset;
        break;
    }
    return FPosition;
}

void TMemoryStream::SetCapacity(Int64 needed) {
    const auto current = static_cast<Int64>(FData.size());
    if (needed <= current) return;
    if (needed > std::numeric_limits<Integer>::max()) throw EStreamError(SysConst::SMemoryStreamError);
    const Int64 grown = std::min<Int64>(std::max({needed, current + current / 2, MinCapacity}),
                                        std::numeric_limits<Integer>::max());
    try {
        FData.resize(static_cast<size_t>(grown));
    } catch (const std::bad_alloc&) {
        throw EStreamError(SysConst::SMemoryStreamError);
    }
}

void TMemoryStream::SetSize(Int64 newSize) {
    if (newSize < 0) newSize = 0;
    if (newSize > FSize) {
        SetCapacity(newSize);
    } else {
        // Keep the bytes past the end zero, so growing again (or writing past the end)
        // never shows stale data.
        std::fill(FData.begin() + newSize, FData.begin() + FSize, Byte{0});
    }
    FSize = newSize;
    if (FPosition > newSize) FPosition = newSize;
}

void TMemoryStream::Clear() {
    std::vector<Byte>().swap(FData);
    FSize = 0;
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
    stream.SetPosition(0);
    const Int64 count = stream.GetSize();
    SetSize(count);
    if (count > 0) stream.ReadBuffer(FData.data(), static_cast<Integer>(count));
}

void TMemoryStream::SaveToStream(TStream& stream) const {
    if (FSize > 0) stream.WriteBuffer(FData.data(), static_cast<Integer>(FSize));
}

void TMemoryStream::LoadFromFile(const String& fileName) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::SaveToFile(const String& fileName) const {
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

// -- TStringStream ------------------------------------------------------------------------

TStringStream::TStringStream(StringView text) {
    WriteString(text);
    SetPosition(0);
}

String TStringStream::DataString() const {
    const auto* bytes = static_cast<const char*>(Memory());
    return UTF8ToString(
        std::string_view(bytes, static_cast<size_t>(const_cast<TStringStream*>(this)->GetSize())));
}

void TStringStream::WriteString(StringView text) {
    const std::string bytes = UTF8Encode(text);
    WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
}

String TStringStream::ReadString(Integer count) {
    std::string bytes(static_cast<size_t>(std::max(count, 0)), '\0');
    const Integer got = Read(bytes.data(), count);
    bytes.resize(static_cast<size_t>(got));
    return UTF8ToString(bytes);
}

} // namespace mv
