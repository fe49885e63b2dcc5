/* A product's program for the manager's tests: its icon group comes from
   product_icons.py. Started, it writes "ran" and its command line to
   ran.txt beside itself and ends. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show)
{
    wchar_t path[MAX_PATH + 8];
    DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH);
    (void)instance, (void)previous, (void)show;
    while (length > 0 && path[length - 1] != L'\\')
        --length;
    lstrcpyW(path + length, L"ran.txt");
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, "ran ", 4, &written, NULL);
    WriteFile(file, command_line, lstrlenA(command_line), &written, NULL);
    CloseHandle(file);
    return 0;
}
