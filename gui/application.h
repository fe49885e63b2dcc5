#ifndef GUI_APPLICATION_H
#define GUI_APPLICATION_H

#include <stdint.h>
#include <windows.h>

#include "base/buffers/guardchar.h"

class cApplicationConfig;
class cWindowMaker;

// The base of the program's application object, driven by run_application:
// Init chooses what to do, Run does it with modal forms through the window
// maker, Exit ends it. The object owns its configuration and its window
// maker.
class cCIApplication {
public:
    cCIApplication();
    // Destroys the configuration and the window maker.
    virtual ~cCIApplication();
    cCIApplication(const cCIApplication&) = delete;
    cCIApplication& operator=(const cCIApplication&) = delete;

    // False stops the program with *exit_code as Init left it (preset 1).
    virtual bool Init(int32_t argument_count, wchar_t** arguments, int32_t* exit_code);
    // The program's work; answers the exit code.
    virtual int32_t Run();
    virtual void Exit();

    // Null until the GUI has started.
    cWindowMaker* GetWindowMaker() const { return window_maker; }
    cApplicationConfig* GetConfig() const { return config; }
    // argv[0] with '/' separators; empty when there was no argument.
    const wchar_t* GetProgramPath() const { return program_path.Text(); }
    // The program path up to its last '/'; "./" without one.
    const wchar_t* GetProgramFolder() const { return program_folder.Text(); }
    HINSTANCE GetInstance() const { return instance; }

    // The runner's set-up. The maker and the configuration become owned; a
    // configuration held before is destroyed.
    void SetWindowMaker(cWindowMaker* maker);
    void SetConfig(cApplicationConfig* configuration);
    void SetInstance(HINSTANCE handle) { instance = handle; }
    void SetProgramPath(const wchar_t* first_argument);

private:
    cWindowMaker* window_maker;
    _guardchar<wchar_t> program_path;
    _guardchar<wchar_t> program_folder;
    HINSTANCE instance;
    cApplicationConfig* config;
};

// Drives the application (owned; destroyed on every path) and answers the
// process exit code: 1 without an application, without a configuration or
// without a GUI; Init's code when Init refuses; else Run's result. The
// configuration, when given, passes to the application; without one a full
// configuration is made. The store is opened by name, and created first
// when it cannot be opened. The reserved argument is not read.
int32_t run_application(cCIApplication* application, HINSTANCE instance, int32_t reserved, int32_t icon_id,
                        int32_t argument_count, wchar_t** arguments, cApplicationConfig* config,
                        const wchar_t* config_name);
// Starts the window layer: a window maker (maker, or a new one), the window
// class, and the first time only the framework's language provider with the
// current (or else the default) language. Answers the maker with the global
// string catalog attached, or null; a maker passed in is destroyed on
// failure.
cWindowMaker* initialize_gui(HINSTANCE instance, int32_t reserved, int32_t icon_id, cWindowMaker* maker);
// The application run_application is running; null outside a run.
cCIApplication* get_current_application();
// That application's configuration; null outside a run.
cApplicationConfig* get_current_config();

#endif
