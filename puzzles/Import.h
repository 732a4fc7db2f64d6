// The import dialog: lists a collection's puzzles and writes the chosen ones as puzzle files
// into the repository.
#pragma once
#include <cstdint>
#include <string>

#include "core/IoError.h"
#include "win/Dialog.h"
#include "win/Handles.h"

class TfrmImport : public win::Dialog {
public:
    enum class Kind { Crossword, WordSearch };

    TfrmImport();

    // Fills the list from the collection file; call it once the dialog's window exists.
    void LoadCollection(const std::string& path);
    // Shows the dialog modally and lists the collection when it opens.
    INT_PTR ShowModalFor(HWND owner, const std::string& path);

    void lbxPuzzlesClick();
    void btnSelectClick();
    void btnClearClick();
    void btnOKClick();
    void ExportCrossword(std::uint32_t recordIndex, const std::string& folder, const std::string& name);
    void ExportWordSearch(std::uint32_t recordIndex, const std::string& folder, const std::string& name);

    Kind CollectionKind() const { return kind_; }
    const std::string& CollectionPath() const { return collectionPath_; }

protected:
    bool FormCreate() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    template <typename ReadFn, typename WriteFn>
    void Export(std::uint32_t recordIndex, const std::string& folder, const std::string& name, ReadFn read,
                WriteFn write);
    void ShowError(const char* firstLine, const io::IoError& error);
    void SetEnabled(int id, bool enabled);
    HWND List() const;

    Kind kind_ = Kind::Crossword;
    std::string collectionPath_;
    std::string pendingPath_;
    win::UniqueHFont listFont_;
};
