#include "ui/OpenDialog.h"
#include "win/LazyApi.h"

#include <commdlg.h>

namespace win {

OpenFileDialog::OpenFileDialog(std::string title, std::vector<std::pair<std::string, std::string>> filters)
    : title_(std::move(title))
{
    for (const auto& [name, patterns] : filters) {
        filterText_ += name;
        filterText_ += '\0';
        filterText_ += patterns;
        filterText_ += '\0';
    }
    filterText_ += '\0';
}

bool OpenFileDialog::Execute(HWND owner)
{
    std::vector<char> buffer(32768, '\0');
    fileName_.copy(buffer.data(), buffer.size() - 1);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filterText_.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrTitle = title_.c_str();
    ofn.Flags =
        OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING | OFN_EXPLORER | OFN_NOCHANGEDIR;
    if (!win::ShowOpenFileDialog(&ofn))
        return false;
    fileName_ = buffer.data();
    return true;
}

}  // namespace win
