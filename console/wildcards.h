#pragma once
// Windows programs expand the wildcards of their arguments themselves (its command prompt
// passes "*.doc" as it is); elsewhere the shell has done it already.
#include <string>
#include <vector>

struct Expansion {
    std::vector<std::string> names;     // in order of name; the argument itself when it holds no wildcard
    std::vector<std::string> unusable;  // matches whose names the system's code page can't hold
};

// '*' and '?' in the last part of `argument` matched against the names in its folder; folders
// match only when `withFolders`.
Expansion ExpandWildcards(const std::string& argument, bool withFolders);
