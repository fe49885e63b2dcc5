#ifndef BASE_CON_PROCESS_H
#define BASE_CON_PROCESS_H

#include <stdint.h>
#include <windows.h>

// A console child whose standard input, output and error go through
// anonymous pipes. The caller reads OutputPipe and writes InputPipe with
// ReadFile and WriteFile, and polls for the child's end. Once the child has
// exited and its handles are gone, reading the output pipe reports the end
// (ERROR_BROKEN_PIPE) instead of blocking. At most one child is tracked at
// a time; one thread uses the object.
class cConProcess {
public:
    cConProcess();
    virtual ~cConProcess();
    cConProcess(const cConProcess&) = delete;
    cConProcess& operator=(const cConProcess&) = delete;

    // Ends a tracked child and drops the old pipes, then starts the command
    // line with fresh pipes. False when a pipe or the process cannot be
    // made (pipe ends made before the failure stay until Close) or when a
    // tracked child cannot be ended. creation_flags go to process_create.
    bool Start(const wchar_t* command_line, DWORD creation_flags = 0);
    // True while the child runs, and once more on the call that sees it
    // ended (its exit code is then stored and it is no longer tracked);
    // false when no child is tracked.
    bool Poll();
    // Ends a running child with exit code 1; a child that has already ended
    // only has its exit code stored. True also when no child is tracked;
    // false when the child cannot be ended (it stays tracked).
    bool Kill();
    // Closes the parent's end of the input pipe: the child then reads the
    // end of its input.
    void CloseInput();
    // Kill, forget the child, and close both pipe ends.
    void Close();

    // The parent's ends of the pipes; INVALID_HANDLE_VALUE when none.
    HANDLE OutputPipe() const { return output_read; }
    HANDLE InputPipe() const { return input_write; }
    // The tracked child (owned here); INVALID_HANDLE_VALUE when none.
    HANDLE ProcessHandle() const { return process; }
    // 0 until Poll or Kill has seen the child end; 1 after Kill ended it.
    uint32_t ExitCode() const { return exit_code; }

private:
    HANDLE output_read;
    HANDLE input_write;
    HANDLE process;
    uint32_t exit_code;

    // Stores the exit code and forgets the child when it has ended.
    bool TakeExitCode();
};

#endif
