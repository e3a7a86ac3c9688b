#pragma once

// Checked rules: TARN_ASSERT(condition, what) states a rule a caller must
// keep ("the sink's thread only", "not while a job runs"). A broken rule
// calls the installed handler. By default it is written to standard error
// (each place at most a few times, so a rule broken in a loop does not
// flood the log) and Tarn goes on; a build with TARN_ASSERT_ABORT (the
// sanitizer build) aborts there; the test programs install a handler that
// fails the running test.
//
// The condition is evaluated in every build: keep it cheap.
namespace fw {

using AssertHandler = void (*)(const char* condition, const char* file, int line, const char* what);

// Installs the handler (nullptr: the default); returns the previous one.
// Called before threads that may break a rule start (a test's main).
AssertHandler setAssertHandler(AssertHandler handler);

[[gnu::cold]] void assertFailed(const char* condition, const char* file, int line, const char* what);

// True on the thread of the application object (the user-interface thread,
// or the main thread of the command-line mode); also true before one exists.
bool onMainThread();

} // namespace fw

#define TARN_ASSERT(condition, what)                                                              \
    ((condition) ? void(0) : ::fw::assertFailed(#condition, __FILE__, __LINE__, what))
