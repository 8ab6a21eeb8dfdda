#include "platform/WinApi.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace platform {
namespace {

TEST(ErrnoToWinError, OneMappingForTheWholeLayer)
{
    struct Row {
        int err;
        DWORD code;
    };
    for (const Row& row : {Row{0, ERROR_SUCCESS},
                           Row{ENOENT, ERROR_FILE_NOT_FOUND},
                           Row{ENXIO, ERROR_FILE_NOT_FOUND},
                           Row{ENODEV, ERROR_FILE_NOT_FOUND},
                           Row{EACCES, ERROR_ACCESS_DENIED},
                           Row{EPERM, ERROR_ACCESS_DENIED},
                           Row{EROFS, ERROR_ACCESS_DENIED},
                           Row{EBUSY, ERROR_ACCESS_DENIED},
                           Row{ENOSPC, ERROR_DISK_FULL},
                           Row{EFBIG, ERROR_DISK_FULL},
                           Row{EDQUOT, ERROR_DISK_FULL},
                           Row{EWOULDBLOCK, ERROR_ACCESS_DENIED},
                           Row{EBADF, ERROR_INVALID_HANDLE},
                           Row{EMFILE, ERROR_TOO_MANY_OPEN_FILES},
                           Row{ENFILE, ERROR_TOO_MANY_OPEN_FILES},
                           Row{ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
                           Row{EINVAL, ERROR_INVALID_PARAMETER},
                           Row{ENOTTY, ERROR_NOT_SUPPORTED},
                           Row{EOPNOTSUPP, ERROR_NOT_SUPPORTED},
                           Row{EIO, ERROR_GEN_FAILURE},
                           Row{EPIPE, ERROR_GEN_FAILURE}}) {
        EXPECT_EQ(ErrnoToWinError(row.err), row.code) << "errno " << row.err;
    }
}

}  // namespace
}  // namespace platform
