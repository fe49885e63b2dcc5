#include <windows.h>

#include <random>

#include "base/codepage_sb.h"
#include "bench/base/base_bench.h"

namespace {

// Western text that code page 1252 holds whole: letters, accents, the euro
// sign, typographic quotes and dashes.
const std::wstring& western_text()
{
    static const std::wstring text = [] {
        const wchar_t units[] = L"abcdefghijklmnopqrstuvwxyz ABCDEFGHIJ 0123456789 .,;:!? \u00e9\u00e8\u00fc\u00f6\u00df"
                                L"\u00e7\u00c9\u20ac\u2019\u201c\u201d\u2014\u2026";
        std::mt19937 random(11);
        std::wstring t(4u << 20, L' ');
        for (wchar_t& unit : t)
            unit = units[random() % (sizeof units / sizeof units[0] - 1)];
        return t;
    }();
    return text;
}

double encode_ours()
{
    const std::wstring& text = western_text();
    std::string out(text.size(), '\0');
    return time_us([&] { codepage_sb_encode(text.data(), int32_t(text.size()), &out[0], int32_t(out.size()), 1252); });
}

double encode_windows()
{
    const std::wstring& text = western_text();
    std::string out(text.size(), '\0');
    return time_us([&] {
        WideCharToMultiByte(1252, 0, text.data(), int(text.size()), &out[0], int(out.size()), nullptr, nullptr);
    });
}

void require_same_output()
{
    const std::wstring& text = western_text();
    std::string ours(text.size(), '\0'), theirs(text.size(), '\0');
    int32_t n = codepage_sb_encode(text.data(), int32_t(text.size()), &ours[0], int32_t(ours.size()), 1252);
    int m = WideCharToMultiByte(1252, 0, text.data(), int(text.size()), &theirs[0], int(theirs.size()), nullptr,
                                nullptr);
    bench_require(n == int32_t(text.size()) && m == n && ours == theirs, "code page 1252");
}

}  // namespace

std::vector<BenchCase> text_bench_cases()
{
    require_same_output();
    return {{"codepage_sb_encode 1252, 4 Mi units", "WideCharToMultiByte", 1.5, encode_ours, encode_windows}};
}
