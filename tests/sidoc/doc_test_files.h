#ifndef TESTS_SIDOC_DOC_TEST_FILES_H
#define TESTS_SIDOC_DOC_TEST_FILES_H

#include <windows.h>

#include <fstream>
#include <string>

#include "tests/support/test_data.h"

// A file the build wrote beside the test, in the program's '/' form.
inline std::wstring doc_fixture_path(const char* name)
{
    std::string path = test_data_path(name);
    std::wstring out(path.begin(), path.end());
    for (wchar_t& c : out)
        c = c == '\\' ? '/' : c;
    return out;
}

// Keeps bytes in the build's artifacts folder, for a look or a later check.
inline void keep_artifact(const char* name, const void* bytes, size_t size)
{
    CreateDirectoryA(test_data_path("../../artifacts").c_str(), nullptr);
    std::ofstream(test_data_path(("../../artifacts/" + std::string(name)).c_str()), std::ios::binary)
        .write(static_cast<const char*>(bytes), std::streamsize(size));
}

#endif
