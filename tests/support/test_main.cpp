// The main of test executables that need nothing of their own before the
// tests run.
#include "tests/support/test_run.h"

int main(int argc, char** argv) { return run_tests(argc, argv); }
