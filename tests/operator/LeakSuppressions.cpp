// LeakSanitizer suppressions for the X11 operator tests. The X client
// libraries and Qt's xcb platform keep caches and connection state for the
// life of the process, which the sanitizer would report as leaks at exit;
// the program's own allocations stay fully checked.

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libxcb\n"
           "leak:libX11\n"
           "leak:libxkbcommon\n"
           "leak:libfontconfig\n"
           "leak:libdbus\n"
           "leak:libQt6XcbQpa\n";
}
