#include "gui/application.h"

#include <wchar.h>

#include "base/app_config.h"
#include "base/ci_app_full_config.h"
#include "base/path.h"
#include "gui/catalog.h"
#include "gui/language.h"
#include "gui/window_maker.h"

namespace {

cCIApplication* current_application = nullptr;
// The framework's texts, served for the life of the process.
cCIOMLang* framework_language = nullptr;

// Ends a run: no one may reach the application once its destruction starts.
int32_t finish(cCIApplication* application, int32_t exit_code)
{
    current_application = nullptr;
    delete application;
    return exit_code;
}

}  // namespace

cCIApplication::cCIApplication() : window_maker(nullptr), instance(nullptr), config(nullptr) {}

cCIApplication::~cCIApplication()
{
    delete config;
    delete window_maker;
}

bool cCIApplication::Init(int32_t, wchar_t**, int32_t*)
{
    return true;
}

int32_t cCIApplication::Run()
{
    return 0;
}

void cCIApplication::Exit() {}

void cCIApplication::SetWindowMaker(cWindowMaker* maker)
{
    if (window_maker != maker)
        delete window_maker;
    window_maker = maker;
}

void cCIApplication::SetConfig(cApplicationConfig* configuration)
{
    if (config != configuration)
        delete config;
    config = configuration;
}

void cCIApplication::SetProgramPath(const wchar_t* first_argument)
{
    program_path.Assign(first_argument);
    path_from_native(program_path.Buffer());
    const wchar_t* text = program_path.Text();
    const wchar_t* last_separator = text ? wcsrchr(text, L'/') : nullptr;
    if (last_separator)
        program_folder.AssignN(text, int32_t(last_separator - text));
    else
        program_folder.Assign(L"./");
}

int32_t run_application(cCIApplication* application, HINSTANCE instance, int32_t, int32_t icon_id,
                        int32_t argument_count, wchar_t** arguments, cApplicationConfig* config,
                        const wchar_t* config_name)
{
    if (!application)
        return 1;
    current_application = application;
    application->SetInstance(instance);
    if (argument_count != 0)
        application->SetProgramPath(arguments ? arguments[0] : nullptr);
    if (!config)
        config = new cCIAppFullConfig;
    application->SetConfig(config);
    if (!config)
        return finish(application, 1);
    if (!config->OpenStore(config_name)) {
        config->CreateStore(config_name);
        config->OpenStore(config_name);
    }
    int32_t exit_code = 1;
    if (!application->Init(argument_count, arguments, &exit_code))
        return finish(application, exit_code);
    cWindowMaker* maker = initialize_gui(instance, 0, icon_id, nullptr);
    if (!maker)
        return finish(application, 1);
    application->SetWindowMaker(maker);
    exit_code = application->Run();
    application->Exit();
    return finish(application, exit_code);
}

cWindowMaker* initialize_gui(HINSTANCE instance, int32_t, int32_t icon_id, cWindowMaker* maker)
{
    if (!maker)
        maker = new cWWMaker;
    if (!maker)
        return nullptr;
    if (!maker->Init(instance, 0, icon_id)) {
        delete maker;
        return nullptr;
    }
    if (!language_provider_exists()) {
        framework_language = new cCIOMLang;
        uint32_t current = get_current_language();
        if (framework_language && current < 10)
            set_language(current);
        else
            apply_default_language();
    }
    maker->SetCatalog(get_global_catalog());
    return maker;
}

cCIApplication* get_current_application()
{
    return current_application;
}

cApplicationConfig* get_current_config()
{
    return current_application ? current_application->GetConfig() : nullptr;
}
