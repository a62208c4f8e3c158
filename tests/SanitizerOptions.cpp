// Linked into the test programs of a VARNELO_SANITIZE build: the sanitizers read their defaults
// from these functions, so every run (also the test listing at build time) stops at the first
// finding. Only leaks that belong to the libraries below are let through: fontconfig keeps its
// caches until the process ends, and the web engine frees its own heap its own way.

extern "C" {

const char *__asan_default_options()
{
    return "halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=0";
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
