#include "core/find_file.h"

FindFile::FindFile(const std::string& pattern)
    : handle_(FindFirstFileA(pattern.c_str(), &data_))
{
}

FindFile::~FindFile()
{
    close();
}

bool FindFile::next()
{
    if (handle_ != INVALID_HANDLE_VALUE && !FindNextFileA(handle_, &data_))
        close();
    return handle_ != INVALID_HANDLE_VALUE;
}

void FindFile::close()
{
    if (handle_ != INVALID_HANDLE_VALUE) {
        FindClose(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
}
