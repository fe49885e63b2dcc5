#include "base/wildcard.h"

#include "base/case_map.h"

namespace {

// The pattern runs from pattern to end, which need not be a terminator.
// After a mismatch the last '*' takes one more character of the name, so
// shorter skips are always tried first and each '*' is retried at most once
// per name position.
bool match_part(const wchar_t* name, const wchar_t* pattern, const wchar_t* end)
{
    const wchar_t* after_star = nullptr;  // pattern position after the last '*'
    const wchar_t* star_name = nullptr;   // name position that '*' reached
    while (*name) {
        if (pattern < end && *pattern == L'*') {
            after_star = ++pattern;
            star_name = name;
        } else if (pattern < end && (*pattern == L'?' || wchar_to_lower(*pattern) == wchar_to_lower(*name))) {
            ++pattern;
            ++name;
        } else if (after_star) {
            pattern = after_star;
            name = ++star_name;
        } else {
            return false;
        }
    }
    while (pattern < end && *pattern == L'*')
        ++pattern;
    return pattern == end;
}

const wchar_t* end_of(const wchar_t* text, wchar_t stop)
{
    while (*text && *text != stop)
        ++text;
    return text;
}

}  // namespace

bool wildcard_match(const wchar_t* name, const wchar_t* pattern)
{
    if (!name)
        return false;
    if (!pattern || !pattern[0])
        return true;
    return match_part(name, pattern, end_of(pattern, 0));
}

bool wildcard_match_list(const wchar_t* name, const wchar_t* patterns)
{
    if (!patterns || !patterns[0])
        return true;
    if (!name)
        return false;
    for (const wchar_t* part = patterns;;) {
        const wchar_t* end = end_of(part, L';');
        if (end == part || match_part(name, part, end))
            return true;
        if (!*end || !end[1])
            return false;
        part = end + 1;
    }
}
