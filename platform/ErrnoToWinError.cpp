// The C run-time's errno values as Windows error codes, on every system.
#include "platform/WinApi.h"

#include <cerrno>

namespace platform {

// One table for the whole layer, so " (win error code: %d)" names the same
// failure on Linux as on Windows:
//   ENOENT, ENXIO, ENODEV (open)           -> 2  ERROR_FILE_NOT_FOUND
//   EACCES, EPERM, EROFS                   -> 5  ERROR_ACCESS_DENIED
//   EBUSY (TIOCEXCL), EWOULDBLOCK (flock)  -> 5  what Windows says for a COM port already open
//   EBADF                                  -> 6  ERROR_INVALID_HANDLE
//   EMFILE, ENFILE                         -> 4  ERROR_TOO_MANY_OPEN_FILES
//   ENOMEM                                 -> 8  ERROR_NOT_ENOUGH_MEMORY
//   ENOSPC, EFBIG, EDQUOT (a full disk,    -> 112 ERROR_DISK_FULL
//   a file-size or quota limit)
//   EINVAL                                 -> 87 ERROR_INVALID_PARAMETER
//   ENOTTY, EOPNOTSUPP                     -> 50 ERROR_NOT_SUPPORTED
//   EIO and anything else                  -> 31 ERROR_GEN_FAILURE
// EINTR and EAGAIN never reach callers as failures: the layer retries or stays
// pending. EAGAIN equals EWOULDBLOCK on Linux, and the only place it surfaces
// is a refused flock, hence 5. A device that has gone is reported as 22 for
// new calls and 995 for pending ones; the serial code sets those directly.
DWORD ErrnoToWinError(int err)
{
    switch (err) {
    case 0: return ERROR_SUCCESS;
    case ENOENT:
    case ENXIO:
    case ENODEV: return ERROR_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case EWOULDBLOCK: return ERROR_ACCESS_DENIED;
    case EBADF: return ERROR_INVALID_HANDLE;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case ENOSPC:
    case EFBIG:
#ifdef EDQUOT  // no quotas in the Windows C run-time
    case EDQUOT:
#endif
        return ERROR_DISK_FULL;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case ENOTTY:
    case EOPNOTSUPP: return ERROR_NOT_SUPPORTED;
    default: return ERROR_GEN_FAILURE;
    }
}

}  // namespace platform
