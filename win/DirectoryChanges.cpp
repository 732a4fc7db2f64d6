#include "win/DirectoryChanges.h"

namespace win {

namespace {

// 64 KB is the most a network share takes; a local folder reports thousands of names in it.
constexpr std::size_t kBufferBytes = 64 * 1024;
constexpr DWORD kWatched = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE;

std::vector<std::wstring> NamesIn(const BYTE* records, DWORD size)
{
    std::vector<std::wstring> names;
    for (DWORD at = 0; at + offsetof(FILE_NOTIFY_INFORMATION, FileName) <= size;) {
        const auto* record = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(records + at);
        const DWORD nameBytes = record->FileNameLength;
        if (at + offsetof(FILE_NOTIFY_INFORMATION, FileName) + nameBytes > size)
            break;
        names.emplace_back(record->FileName, nameBytes / sizeof(WCHAR));
        if (record->NextEntryOffset == 0)
            break;
        at += record->NextEntryOffset;
    }
    return names;
}

}  // namespace

bool DirectoryChanges::Open(const std::string& folder)
{
    Close();
    folder_.reset(::CreateFileA(folder.c_str(), FILE_LIST_DIRECTORY,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
    if (!folder_)
        return false;
    if (!event_)
        event_.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    buffer_.resize(kBufferBytes / sizeof(DWORD));
    if (!event_ || !StartRead()) {
        folder_.reset();
        return false;
    }
    return true;
}

void DirectoryChanges::Close()
{
    if (reading_) {
        DWORD bytes = 0;
        ::CancelIoEx(folder_.get(), &overlapped_);
        ::GetOverlappedResult(folder_.get(), &overlapped_, &bytes, TRUE);
        reading_ = false;
    }
    folder_.reset();
}

bool DirectoryChanges::StartRead()
{
    overlapped_ = {};
    overlapped_.hEvent = event_.get();
    ::ResetEvent(event_.get());
    reading_ =
        ::ReadDirectoryChangesW(folder_.get(), buffer_.data(), static_cast<DWORD>(buffer_.size() * sizeof(DWORD)),
                                FALSE, kWatched, nullptr, &overlapped_, nullptr) != FALSE;
    return reading_;
}

DirectoryChanges::Batch DirectoryChanges::Take()
{
    Batch batch;
    DWORD bytes = 0;
    if (!reading_ || !::GetOverlappedResult(folder_.get(), &overlapped_, &bytes, FALSE)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_IO_INCOMPLETE) {
            batch.outcome = Outcome::Names;  // nothing yet
            return batch;
        }
        reading_ = false;
        batch.outcome = error == ERROR_NOTIFY_ENUM_DIR ? Outcome::Lost : Outcome::Ended;
    } else {
        reading_ = false;
        batch.outcome = bytes == 0 ? Outcome::Lost : Outcome::Names;
        batch.names = NamesIn(reinterpret_cast<const BYTE*>(buffer_.data()), bytes);
    }
    if (batch.outcome == Outcome::Ended || !StartRead()) {
        Close();
        batch.outcome = Outcome::Ended;
        batch.names.clear();
    }
    return batch;
}

}  // namespace win
