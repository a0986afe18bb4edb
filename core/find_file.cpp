#include "core/find_file.h"

FindFile::FindFile(const std::wstring& pattern)
    : handle_(FindFirstFileW(LongForm(pattern).c_str(), &data_))
{
}

FindFile::~FindFile()
{
    close();
}

bool FindFile::next()
{
    shownRead_ = false;
    if (handle_ != INVALID_HANDLE_VALUE && !FindNextFileW(handle_, &data_))
        close();
    return handle_ != INVALID_HANDLE_VALUE;
}

std::string_view FindFile::name() const
{
    if (!shownRead_) {
        AssignShownText(shown_, data_.cFileName);
        shownRead_ = true;
    }
    return shown_;
}

void FindFile::close()
{
    if (handle_ != INVALID_HANDLE_VALUE) {
        FindClose(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
}

DiskPath SubFolder(const DiskPath& folder, const FindFile& entry)
{
    DiskPath path = Joined(folder, entry.name(), entry.wideName());
    path.Shown += '\\';
    path.Wide += L'\\';
    return path;
}
