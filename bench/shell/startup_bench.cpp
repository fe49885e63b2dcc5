// Start-up to the first window: the program's own start up to its language
// form against an empty installer of the peer installer system, each started
// as a process and timed until it shows a visible window, then ended.
#include <windows.h>

#include <string>
#include <vector>

#include "bench/support/bench.h"
#include "bench/support/first_window.h"

namespace {

const uint64_t longest_start_us = 30000000;

// A host path as Wine shows it on drive Z:.
std::wstring windows_path(const std::string& host)
{
    std::wstring path = L"Z:";
    for (char c : host)
        path += c == '/' ? L'\\' : wchar_t(c);
    return path;
}

}  // namespace

int main(int argc, char** argv)
{
    std::wstring ours = windows_path(OURS_EXE);
    std::wstring peer = windows_path(PEER_EXE);
    std::vector<BenchCase> cases = {
        {"start-up to the language form", "an empty NSIS installer to its first window", 1.0,
         [&]() { return time_to_first_window(ours, longest_start_us); },
         [&]() { return time_to_first_window(peer, longest_start_us); }},
    };
    return bench_run(cases, argc, argv);
}
