#include "ui/ShellFolderTree.h"

#include "win/LazyApi.h"
#include "win/Paths.h"

namespace win {

// One folder of the tree: the folder that holds it, its id there, and its whole id for icons.
struct ShellFolderTree::Node {
    IShellFolder* parent = nullptr;  // a reference of its own
    PITEMID_CHILD child = nullptr;   // empty for the Desktop itself
    PIDLIST_ABSOLUTE absolute = nullptr;
    bool filled = false;

    ~Node()
    {
        if (parent != nullptr)
            parent->Release();
        FreeItemIds(child);
        FreeItemIds(absolute);
    }
    std::string Name(SHGDNF kind) const
    {
        STRRET name{};
        const SHITEMID empty{};
        auto item = child != nullptr ? child : reinterpret_cast<PCUITEMID_CHILD>(&empty);
        if (FAILED(parent->GetDisplayNameOf(item, kind, &name)))
            return {};
        return TextOfShellName(name, item);
    }
    // The folder itself, to list what it holds; null when it cannot be opened.
    IShellFolder* Open() const
    {
        IShellFolder* folder = nullptr;
        if (child == nullptr) {
            parent->AddRef();
            return parent;
        }
        if (FAILED(parent->BindToObject(child, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder))))
            return nullptr;
        return folder;
    }
};

ShellFolderTree::ShellFolderTree() = default;

ShellFolderTree::~ShellFolderTree()
{
    nodes_.clear();
    if (desktop_ != nullptr)
        desktop_->Release();
}

void ShellFolderTree::Attach(HWND tree)
{
    tree_ = tree;
    if (FAILED(ShellDesktopFolder(&desktop_)))
        return;
    SHFILEINFOA info{};
    const SHITEMID empty{};
    auto images = reinterpret_cast<HIMAGELIST>(
        ShellFileInfo(reinterpret_cast<PCIDLIST_ABSOLUTE>(&empty), &info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    TreeView_SetImageList(tree_, images, TVSIL_NORMAL);
    auto root = std::make_unique<Node>();
    desktop_->AddRef();
    root->parent = desktop_;
    root->absolute = CombineItemIds(reinterpret_cast<PCIDLIST_ABSOLUTE>(&empty), nullptr);
    HTREEITEM item = Insert(TVI_ROOT, std::move(root));
    TreeView_Expand(tree_, item, TVE_EXPAND);
    TreeView_SelectItem(tree_, item);
}

HTREEITEM ShellFolderTree::Insert(HTREEITEM parent, std::unique_ptr<Node> node)
{
    SHFILEINFOA info{};
    ShellFileInfo(node->absolute, &info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    SHFILEINFOA open{};
    ShellFileInfo(node->absolute, &open, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_OPENICON);
    const std::string name = node->Name(SHGDN_INFOLDER);
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.pszText = const_cast<char*>(name.c_str());
    insert.item.iImage = info.iIcon;
    insert.item.iSelectedImage = open.iIcon;
    // Whether it holds folders is asked of the shell, so that no folder is listed before it opens.
    SFGAOF attributes = SFGAO_HASSUBFOLDER;
    if (node->child != nullptr) {
        PCUITEMID_CHILD ids[] = {node->child};
        node->parent->GetAttributesOf(1, ids, &attributes);
    }
    insert.item.cChildren = (attributes & SFGAO_HASSUBFOLDER) ? 1 : 0;
    insert.item.lParam = reinterpret_cast<LPARAM>(node.get());
    nodes_.push_back(std::move(node));
    return reinterpret_cast<HTREEITEM>(::SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void ShellFolderTree::Fill(HTREEITEM item)
{
    Node* node = NodeOf(item);
    if (node == nullptr || node->filled)
        return;
    node->filled = true;
    IShellFolder* folder = node->Open();
    if (folder == nullptr)
        return;
    IEnumIDList* children = nullptr;
    if (folder->EnumObjects(tree_, SHCONTF_FOLDERS, &children) == S_OK && children != nullptr) {
        PITEMID_CHILD id = nullptr;
        while (children->Next(1, &id, nullptr) == S_OK) {
            auto child = std::make_unique<Node>();
            folder->AddRef();
            child->parent = folder;
            child->child = id;
            child->absolute = CombineItemIds(node->absolute, id);
            Insert(item, std::move(child));
        }
        children->Release();
    }
    folder->Release();
    TreeView_SortChildren(tree_, item, FALSE);
}

void ShellFolderTree::SelectAtCursor()
{
    TVHITTESTINFO hit{};
    ::GetCursorPos(&hit.pt);
    ::ScreenToClient(tree_, &hit.pt);
    if (HTREEITEM item = TreeView_HitTest(tree_, &hit); item != nullptr)
        TreeView_SelectItem(tree_, item);
}

bool ShellFolderTree::OnNotify(const NMHDR& header)
{
    if (header.hwndFrom != tree_)
        return false;
    if (header.code == TVN_ITEMEXPANDINGA || header.code == TVN_ITEMEXPANDINGW) {
        const auto& view = reinterpret_cast<const NMTREEVIEWA&>(header);
        if (view.action & TVE_EXPAND)
            Fill(view.itemNew.hItem);
        return true;
    }
    if (header.code == NM_RCLICK) {
        SelectAtCursor();
        return true;
    }
    return false;
}

ShellFolderTree::Node* ShellFolderTree::NodeOf(HTREEITEM item) const
{
    TVITEMA tv{};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    if (item == nullptr || !TreeView_GetItem(tree_, &tv))
        return nullptr;
    return reinterpret_cast<Node*>(tv.lParam);
}

// The shell names the folder by its ids; each step down fills one folder and goes into the child
// that holds those ids, so only the folders on the way are ever listed.
void ShellFolderTree::SelectPath(const std::string& path)
{
    if (desktop_ == nullptr)
        return;
    std::wstring wide = win::WideText(path);
    PIDLIST_RELATIVE parsed = nullptr;
    if (wide.empty() || FAILED(desktop_->ParseDisplayName(tree_, nullptr, wide.data(), nullptr, &parsed, nullptr)))
        return;
    const std::unique_ptr<ITEMIDLIST, void (*)(LPITEMIDLIST)> target(parsed, &FreeItemIds);
    const auto ids = reinterpret_cast<PCIDLIST_ABSOLUTE>(target.get());
    HTREEITEM item = TreeView_GetRoot(tree_);
    for (HTREEITEM next = item; next != nullptr;) {
        item = next;
        next = nullptr;
        Fill(item);
        for (HTREEITEM child = TreeView_GetChild(tree_, item); child != nullptr && next == nullptr;
             child = TreeView_GetNextSibling(tree_, child)) {
            const Node* node = NodeOf(child);
            if (node != nullptr && ItemIdsWithin(node->absolute, ids))
                next = child;
        }
        if (next != nullptr)
            TreeView_Expand(tree_, item, TVE_EXPAND);
    }
    TreeView_SelectItem(tree_, item);
    TreeView_EnsureVisible(tree_, item);
}

std::string ShellFolderTree::SelectedPath() const
{
    const Node* node = NodeOf(TreeView_GetSelection(tree_));
    return node != nullptr ? node->Name(SHGDN_FORPARSING) : std::string();
}

}  // namespace win
