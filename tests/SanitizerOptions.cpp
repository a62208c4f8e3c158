// Linked into the test programs of a VARNELO_SANITIZE build: the sanitizers read their defaults
// from these functions, so every run (also the test listing at build time) stops at the first
// finding. Only leaks that belong to the libraries below are let through: fontconfig keeps its
// caches until the process ends, and the web engine frees its own heap its own way.

#ifdef VARNELO_TEST_WEB_ENGINE
// The web engine runs in the test program and frees some of its own objects with a size that ASan
// takes for a mismatch; that one check cannot be limited to its library, so this program goes
// without it.
#define WEB_ENGINE_OPTIONS ":new_delete_type_mismatch=0"
#else
#define WEB_ENGINE_OPTIONS ""
#endif

extern "C" {

const char *__asan_default_options()
{
    return "halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=0" WEB_ENGINE_OPTIONS;
}

const char *__ubsan_default_options()
{
    return "halt_on_error=1:print_stacktrace=1";
}

const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n"
           "leak:libQt6WebEngineCore.so\n";
}

}
