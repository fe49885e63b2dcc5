#ifndef TESTS_SUPPORT_TEST_RUN_H
#define TESTS_SUPPORT_TEST_RUN_H

// Runs the executable's tests as GoogleTest's command line asks; the exit
// code of the run. Every test executable's main ends here.
int run_tests(int argc, char** argv);

#endif
