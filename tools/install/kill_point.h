#ifndef TOOLS_INSTALL_KILL_POINT_H
#define TOOLS_INSTALL_KILL_POINT_H

#include <stdint.h>

// Named moments of the install and uninstall roads at which a test build
// ends its own process at once, as a kill would, so that the tests can show
// the roads consistent after a kill anywhere. Only a build with INSTALL_KILL_POINTS
// defined has them (the tests build the road's sources so); in the
// program they are nothing at all.
//
// A test names the moment in the environment variable
// PELMARO_TEST_KILL_POINT as "<name>" or "<name>:<index>"; the process
// ends with exit code install_kill_point_exit_code when it reaches it. A
// moment named the same way in PELMARO_TEST_PAUSE_POINT holds the road
// there instead: it creates the file PELMARO_TEST_PAUSE_FILE names and
// waits until the test deletes it, so that the test acts at that moment.
#ifdef INSTALL_KILL_POINTS
const uint32_t install_kill_point_exit_code = 86;
void install_kill_point(const char* name, int32_t index);
#define INSTALL_KILL_POINT(name, index) install_kill_point(name, index)
#else
#define INSTALL_KILL_POINT(name, index) ((void)(index))
#endif

#endif
