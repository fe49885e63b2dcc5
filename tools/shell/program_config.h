#ifndef TOOLS_SHELL_PROGRAM_CONFIG_H
#define TOOLS_SHELL_PROGRAM_CONFIG_H

class cApplicationConfig;

// The name of the program's store folders ("<maker>/qrv").
extern const wchar_t program_store_name[];

// The program's configuration of both stores, opened afresh from disk as
// the program opens its own at its start (cCIAppFullConfig::OpenStore with
// program_store_name): what the stores hold now, judged now. The caller
// deletes it; null when memory runs out.
cApplicationConfig* open_program_config();

#endif
