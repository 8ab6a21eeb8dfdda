#include "exchange/ReadoutFile.h"

#include "exchange/InOutError.h"
#include "platform/FileOpen.h"
#include "platform/WinApi.h"

#include <cerrno>
#include <cstdio>

namespace exchange {

namespace {

// errno as left by a failed stdio call; EIO if the library left none.
int LastErrno()
{
    return errno != 0 ? errno : EIO;
}

// Closes the file whatever happened before; the first failure, 0 if none.
// The close is checked because stdio writes its buffer only then: that is
// where a full disk shows.
int Close(std::FILE* file, int earlierError)
{
    int failure = earlierError;
    errno = 0;
    if (std::fclose(file) != 0 && failure == 0) failure = LastErrno();
    return failure;
}

}  // namespace

bool CreateReadoutFile(const std::filesystem::path& path, int* systemError)
{
    errno = 0;
    std::FILE* file = platform::OpenFile(path, "wb");
    if (!file) {
        if (systemError) *systemError = LastErrno();
        return false;
    }
    if (const int failure = Close(file, 0)) throw EInOutError::FromErrno(failure);
    return true;
}

bool CanWriteReadoutFile(const std::filesystem::path& path, int* systemError)
{
    auto fail = [systemError](int error) {
        if (systemError) *systemError = error;
        return false;
    };
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return fail(EISDIR);
    errno = 0;
    std::FILE* file = platform::OpenFile(path, "ab");
    if (!file) return fail(LastErrno());
    std::fclose(file);
    return true;
}

bool AppendReadoutLine(const std::filesystem::path& path, const std::string& line)
{
    // "ab" would create a missing file; appending needs the file that the
    // transmission created.
    std::error_code ec;
    if (!std::filesystem::exists(path, ec) || std::filesystem::is_directory(path, ec)) return false;
    const std::uintmax_t lengthBefore = std::filesystem::file_size(path, ec);
    const bool canTakeBack = !ec;  // a device such as /dev/full has no length

    std::FILE* file = platform::OpenFile(path, "ab");
    if (!file) return false;

    const std::string record = line + "\r\n";
    errno = 0;
    const std::size_t written = std::fwrite(record.data(), 1, record.size(), file);
    const int failure = Close(file, written == record.size() ? 0 : LastErrno());
    if (failure != 0) {
        // Part of the line may have reached the disk: a line without its end
        // would run into the next one, so the file goes back to the lines
        // stored whole.
        if (canTakeBack) std::filesystem::resize_file(path, lengthBefore, ec);
        throw EInOutError::FromErrno(failure);
    }
    return true;
}

std::string CreateFailureReason(int systemError, TTextLanguage language)
{
    auto say = [language](TSessionText text) { return SessionText(text, language); };
    switch (systemError) {
    case EACCES:
    case EPERM:
    case EROFS: return say(TSessionText::stFileRefused);
    case ENOENT:
    case ENOTDIR: return say(TSessionText::stFolderGone);
    case ENOSPC:
#ifdef EDQUOT  // no quotas in the Windows C run-time
    case EDQUOT:
#endif
    case EFBIG: return say(TSessionText::stDiskFull);
    case EINVAL:
    case EILSEQ:
    case ENAMETOOLONG: return say(TSessionText::stNameInvalid);
    case EISDIR: return say(TSessionText::stNameTaken);
    default:
        return SessionText(TSessionText::stFileFailed, language,
                           {{"code", std::to_string(platform::ErrnoToWinError(systemError))}});
    }
}

}  // namespace exchange
