// ThreadSanitizer suppressions built into the window's threaded tests. Qt's
// libraries are not instrumented, so the synchronisation inside them (the
// application's own worker threads, its thread pool) is invisible to the
// sanitizer and shows up as races within Qt. The program's threads (the
// port's event thread, the main-thread queue) never touch Qt and stay fully
// checked.

extern "C" const char* __tsan_default_suppressions()
{
    return "race:libQt6Core.so\n"
           "race:libQt6Gui.so\n"
           "race:libQt6Widgets.so\n";
}
