#ifndef BASE_WILDCARD_H
#define BASE_WILDCARD_H

// File-name patterns: '?' stands for any one character, '*' for any run of
// characters (the empty run too); other characters compare without regard
// to case (wchar_to_lower). The whole name must match.

// A null name never matches; a null or empty pattern matches every name.
bool wildcard_match(const wchar_t* name, const wchar_t* pattern);

// Patterns separated by ';' ("*.jpg;*.png"), tried in order; true at the
// first that matches. An empty part matches everything; a ';' at the very
// end adds no part. A null or empty list matches every name, a null name
// none.
bool wildcard_match_list(const wchar_t* name, const wchar_t* patterns);

#endif
