#include "temp_file.h"

#include <fstream>
#include <stdexcept>
#include <unistd.h>

TempDir::TempDir()
{
    std::string templ = (std::filesystem::temp_directory_path() / "updater-test-XXXXXX").string();
    if (!mkdtemp(templ.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = templ;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::vector<uint8_t> readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string &path, const std::vector<uint8_t> &data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

void writeFile(const std::string &path, const std::string &text)
{
    writeFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

Fd::~Fd()
{
    if (fd_ >= 0)
        close(fd_);
}
