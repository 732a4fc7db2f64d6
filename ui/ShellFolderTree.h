// A tree view of the shell namespace's folders, rooted at the Desktop and filled one level at a
// time as the user expands it (never further), with the shell's own icons.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

namespace win {

class ShellFolderTree {
public:
    ShellFolderTree();
    ShellFolderTree(const ShellFolderTree&) = delete;
    ShellFolderTree& operator=(const ShellFolderTree&) = delete;
    ~ShellFolderTree();

    // Takes over the tree control: the Desktop as its root, expanded and selected.
    void Attach(HWND tree);
    // Handles the tree's expanding and right-click notices; answers whether it was one of them.
    bool OnNotify(const NMHDR& header);
    // The parsing name of the selected folder: its file-system path where it has one.
    std::string SelectedPath() const;
    // Opens the tree down to the folder and selects it, or the deepest folder that holds it.
    void SelectPath(const std::string& path);

private:
    struct Node;
    HTREEITEM Insert(HTREEITEM parent, std::unique_ptr<Node> node);
    void Fill(HTREEITEM item);
    void SelectAtCursor();
    Node* NodeOf(HTREEITEM item) const;

    HWND tree_ = nullptr;
    IShellFolder* desktop_ = nullptr;
    std::vector<std::unique_ptr<Node>> nodes_;
};

}  // namespace win
