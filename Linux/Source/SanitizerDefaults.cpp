// The sanitizer build's own settings, linked into every program of that
// build, whether the tests run it or a person does, so that no setting of
// the environment is needed (the environment's still override them).

// The leak checker's scan at exit follows the blocks of dynamic TLS that it
// saw handed out through __tls_get_addr. On some machines one of the blocks
// it recorded for a library the GL driver loads is not one (its range starts
// at a small number), and the scan's tracer dies reading it, which fails the
// run after every test has passed. Leaving that call alone only stops the
// scan from treating such blocks as roots: a block that only dynamic TLS
// points to could be reported, never hidden (tests/LeakProbeTest.cpp shows a
// leak of the program's own is still reported).
extern "C" const char* __asan_default_options() { return "intercept_tls_get_addr=0"; }

// Leaks that are the libraries' own, each suppressed by the library's name
// alone, so that any leak of the program's is still reported.
extern "C" const char* __lsan_default_suppressions() {
    return
        // SDL loads the D-Bus library for the desktop's services; it keeps a
        // buffer of its connection to the session bus until the process ends.
        "leak:libdbus-1.so\n"
        // When a program ends early after its surface was torn down (a
        // recording refused before the show loads), the GL driver's module is
        // unloaded, and what the driver had the undefined-behaviour
        // sanitizer's runtime allocate for it at start-up is no longer
        // reachable; the report's stack then ends inside that runtime.
        "leak:libubsan.so\n"
        "leak:libEGL_mesa.so\n";
}
