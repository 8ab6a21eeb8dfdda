#include "platform/Console.h"

#include "platform/win32/Win32.h"

#include <atomic>
#include <cstdio>
#include <io.h>

namespace platform {

namespace {
std::atomic<bool> interrupted{false};

::BOOL WINAPI OnConsoleControl(::DWORD type)
{
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
    interrupted.store(true);
    return TRUE;
}
}  // namespace

void UseUtf8Console()
{
    ::SetConsoleOutputCP(CP_UTF8);
}

bool StandardErrorIsTerminal()
{
    return ::_isatty(::_fileno(stderr)) != 0;
}

void CatchInterrupt()
{
    ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

bool Interrupted()
{
    return interrupted.load();
}

}  // namespace platform
