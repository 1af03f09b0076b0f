// How the sanitizers run the test programs, whoever starts them (ctest, a
// test that starts a child program, or a person at the shell).
//
// The leak scan also reads the storage each thread keeps for the libraries
// loaded while the program runs, where the sanitizer noted it from the C
// library's lookups. For one of the toolkit's plug-ins that note is now and
// then garbage, and the scan at exit then crashes ("Tracer caught signal
// 11") after every test has passed. Without the note the scan leaves that
// storage out, and no leak has shown that it alone would hide.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __asan_default_options() { return "intercept_tls_get_addr=0"; }
#endif
