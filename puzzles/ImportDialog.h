// The import dialog: lists a collection's puzzles and writes the chosen ones as puzzle files
// into the repository.
#pragma once
#include <chrono>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/IoError.h"
#include "core/Collections.h"
#include "core/PuzzleKinds.h"
#include "ui/Dialog.h"
#include "ui/OpenDialog.h"
#include "ui/Tooltip.h"
#include "win/Files.h"
#include "win/Handles.h"

class ImportDialog : public win::Dialog {
public:
    using Kind = puzzles::PuzzleKind;
    // How the export of one puzzle ended; Stopped when the user chose Cancel in its error box.
    enum class Outcome { Written, Failed, Stopped };

    // repository: the folder the puzzles are written to.
    explicit ImportDialog(std::string repository);

    // The import command's file dialog, which offers the collection files of both kinds first.
    static win::OpenFileDialog CollectionFileDialog();

    // Fills the list from the collection file; call it once the dialog's window exists.
    void LoadCollection(const std::string& path);
    // Shows the dialog modally, centred over the owner, and lists the collection when it opens.
    INT_PTR ShowModalFor(HWND owner, const std::string& path);

    void OnSelectionChanged();
    void OnSelectAll();
    void OnClear();
    void OnOk();
    Outcome ExportCrossword(std::uint32_t recordIndex, const std::string& folder, const std::string& name);
    Outcome ExportWordSearch(std::uint32_t recordIndex, const std::string& folder, const std::string& name);

    Kind CollectionKind() const { return kind_; }
    // What the last import wrote: its puzzles' names without the extension, in the order written,
    // and how many of them replaced an earlier file of other content.
    const std::vector<std::string>& ImportedNames() const { return imported_; }
    std::size_t ReplacedCount() const { return replaced_; }

    // How long an import runs before it shows how far it is (half a second unless set).
    void SetProgressDelay(std::chrono::milliseconds delay) { progressDelay_ = delay; }
    const std::string& CollectionPath() const { return collectionPath_; }

protected:
    bool OnCreate() override;
    bool CanClose(INT_PTR result) override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    std::string repository_;
    std::chrono::milliseconds progressDelay_{500};
    template <typename ReadFn, typename WriteFn>
    Outcome Export(std::uint32_t recordIndex, const std::string& folder, const std::string& name, ReadFn read,
                   WriteFn write);
    bool ShowError(const char* firstLine, const io::IoError& error);
    bool ShowErrorText(const char* firstLine, const std::string& text);
    void WritePuzzle(const std::string& path, const std::vector<std::uint8_t>& bytes);
    void CommitReplacements();
    std::vector<std::size_t> SelectedEntries() const;
    std::string NameFor(const std::string& displayText) const;
    void BeginImport();
    void EndImport();
    void ShowProgress(std::size_t done, std::size_t total);
    void ServeDuringImport();
    void SetEnabled(int id, bool enabled);
    HWND List() const;

    Kind kind_ = Kind::Crossword;
    std::string collectionPath_;
    std::string pendingPath_;
    // The listed entries; each line of the list carries its entry's position here, so that the
    // whole display text is at hand even where the list shows it cut short.
    std::vector<puzzles::CollectionEntry> entries_;
    // The names this import has written, upper-cased.
    std::set<std::string> written_;
    std::vector<std::string> imported_;
    std::size_t replaced_ = 0;
    std::unique_ptr<win::ReplacingBatch> batch_;
    bool importing_ = false;
    bool stopRequested_ = false;
    bool progressShown_ = false;
    std::chrono::steady_clock::time_point importStarted_;
    std::chrono::steady_clock::time_point progressShownAt_;
    win::UniqueHFont listFont_;
    ui::Tooltip collectionTip_;
};
