// Built into every sanitised test program: its sanitizers' options, whoever starts it.
extern "C" const char* __lsan_default_options() {
    return "suppressions=" CYFROLIA_LSAN_SUPPRESSIONS ":print_suppressions=0";
}

extern "C" const char* __ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}

extern "C" const char* __asan_default_options() {
    return "detect_leaks=1:detect_stack_use_after_return=1:strict_init_order=1";
}
