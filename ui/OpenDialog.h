// The file-open dialog as an object that remembers the file chosen last.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace win {

class OpenFileDialog {
public:
    // Filters as (name, patterns) pairs, the first chosen at start.
    OpenFileDialog(std::string title, std::vector<std::pair<std::string, std::string>> filters);

    // Runs the dialog; answers false when the user cancels.
    bool Execute(HWND owner);
    const std::string& FileName() const { return fileName_; }

private:
    std::string title_;
    std::string filterText_;
    std::string fileName_;
};

}  // namespace win
