// Reading a StringList from a file where names are bytes (POSIX): the lines are taken as they
// are, since a name that is not UTF-8 still names its file there. Lists are written by the
// Windows program only, so there is no saving here.
#include "toolkit/string_list.h"

#include <fstream>
#include <iterator>
#include <new>

bool StringList::LoadFromFile(const std::string& path)
{
    try {
        std::ifstream file(path, std::ios::binary);
        if (!file)
            return false;
        const std::string contents{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        if (file.bad())
            return false;
        SetListFileText(contents);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Names on POSIX are bytes, taken as they are.
void StringList::SetListFileText(std::string_view contents)
{
    if (contents.starts_with("\xEF\xBB\xBF"))
        contents.remove_prefix(3);
    SetText(contents, false);
}
