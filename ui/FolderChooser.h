// The folder chooser: the shell's folder tree and a field for a typed path. It can insist on a
// file inside the chosen folder (javaw.exe), and offers to create a typed folder that is missing.
#pragma once
#include <string>

#include "ui/Dialog.h"
#include "ui/ShellFolderTree.h"

class FolderChooser : public win::Dialog {
public:
    // startFolder: the folder the chooser opens at (the field holds it; the tree shows it, or
    // while it does not exist, the nearest folder above it).
    FolderChooser(std::string prompt, std::string requiredFile, std::string startFolder = {});

    // The field's text when the dialog closed, whatever closed it.
    const std::string& SelectedPath() const { return selectedPath_; }

    void stvwFoldersChange();
    void OnPathChanged();

protected:
    bool OnCreate() override;
    bool CanClose(INT_PTR result) override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    std::string prompt_;
    std::string requiredFile_;
    std::string startFolder_;
    std::string selectedPath_;
    win::ShellFolderTree stvwFolders;
};

// Shows the chooser owned by the given window, opened at the folder path holds; true, with path
// set to the chosen folder exactly as it stood in the field, when the user confirmed with OK.
bool BrowseForFolder(HWND owner, const std::string& prompt, std::string& path, const std::string& requiredFile);

// For a folder that does not exist, asks whether to create it ("Confirm Create"): Yes creates it
// (a failure is told and answers false), No keeps it as typed, Cancel answers false.
bool ConfirmMissingFolder(HWND owner, const std::string& path);
