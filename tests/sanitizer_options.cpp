// How the sanitizers run the test programs, whoever starts them (ctest, a
// test that starts a child program, or a person at the shell).
//
// The leak scan also reads the storage each thread keeps for the libraries
// loaded while the program runs, where the sanitizer noted it from the C
// library's lookups. For one of the toolkit's plug-ins that note is now and
// then garbage, and the scan at exit then crashes ("Tracer caught signal
// 11") after every test has passed. Without the note the scan leaves that
// storage out. What it risks: an object held only from such a library's
// thread storage would be reported as a leak; none of ours is, and three
// full runs reported nothing new.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __asan_default_options() { return "intercept_tls_get_addr=0"; }
#endif
