// The folder chooser: the shell's folder tree and a field for a typed path. It can insist on a
// file inside the chosen folder (javaw.exe), and offers to create a typed folder that is missing.
#pragma once
#include <string>

#include "win/Dialog.h"
#include "win/ShellFolderTree.h"

class TfrmBrowseDir : public win::Dialog {
public:
    TfrmBrowseDir(std::string prompt, std::string requiredFile);

    // The field's text when the dialog closed, whatever closed it.
    const std::string& SelectedPath() const { return selectedPath_; }

    void stvwFoldersChange();
    void edtPathChange();

protected:
    bool FormCreate() override;
    bool FormCloseQuery(INT_PTR result) override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    bool CreateTypedFolder();

    std::string prompt_;
    std::string RequiredFile;
    std::string selectedPath_;
    win::ShellFolderTree stvwFolders;
};

// Shows the chooser owned by the given window; true, with path set to the chosen folder exactly
// as it stood in the field, when the user confirmed with OK.
bool BrowseForFolder(HWND owner, const std::string& prompt, std::string& path, const std::string& requiredFile);
