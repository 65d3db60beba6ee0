// Linked into the test programs of a ThreadSanitizer build only.
//
// cpp-httplib comes from Debian as a shared library built without the
// sanitizer: it cannot see the locks inside it and reports the test
// servers' own buffers as raced. Our code is instrumented and stays checked.
extern "C" const char *__tsan_default_suppressions()
{
    return "race:libcpp-httplib.so\n";
}
