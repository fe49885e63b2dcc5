#ifndef TESTS_SIDOC_DOC_TEST_FILES_H
#define TESTS_SIDOC_DOC_TEST_FILES_H

#include <windows.h>

#include <string>

#include "tests/support/artifacts.h"
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

#endif
