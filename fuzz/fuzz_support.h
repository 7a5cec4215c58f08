#pragma once
// What the fuzz targets share: a property that must hold, and a file of their own to hand to
// readers that take a path.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

// A property that fails is a finding: the fuzzer keeps the input that broke it.
inline void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

// A file in $TMPDIR (scripts/fuzz gives each run a scratch folder) named by the process, so
// that runs side by side never share one; removed at exit.
class ScratchFile {
public:
    explicit ScratchFile(std::string_view name)
    {
        const char* folder = std::getenv("TMPDIR");
        path_ = std::string(folder && *folder ? folder : "/tmp") + "/" + std::string(name) + "-" +
                std::to_string(getpid());
    }
    ~ScratchFile() { std::remove(path_.c_str()); }

    const std::string& Path() const { return path_; }

    const std::string& Write(std::string_view bytes)
    {
        std::ofstream file(path_, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        Require(static_cast<bool>(file.flush()), "the scratch file is written");
        return path_;
    }

private:
    std::string path_;
};
