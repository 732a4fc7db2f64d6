// What the user has done with each puzzle: when it was last played, how often, and whether it is
// new, played or solved; kept in a SQLite database per user, beside the puzzle library and never
// in it. Portable: it knows files only by path, and is tested natively against real databases.
#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;

namespace history {

enum class Status : std::int64_t { New = 0, Played = 1, Solved = 2 };

// A puzzle as the history knows it: its repository folder and its file name there, both as the
// caller folds them (so that two spellings of one folder meet).
struct PuzzleKey {
    std::string repository;
    std::string fileName;
};

// A puzzle file as a listing of its repository finds it.
struct SeenFile {
    std::string fileName;  // folded as a PuzzleKey's
    std::uint64_t size = 0;
    std::string hash;  // of the file's content; empty when not read
};

struct Entry {
    Status status = Status::New;
    std::int64_t lastPlayed = 0;  // seconds since 1970, UTC; 0 when never played
    std::int64_t timesPlayed = 0;
};

// The database could not be opened or written: the program goes on without history.
class HistoryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class PlayHistory {
public:
    // The schema this program writes; an older one is migrated, a newer or foreign one is not
    // trusted.
    static constexpr std::int64_t kSchemaVersion = 1;

    // Opens the database, or makes a new one. A file that is damaged, or not a history of this
    // program (another schema, values out of range), is renamed aside with the date and time
    // (library.db.corrupt-20261211-153000) and a new one started. Throws HistoryError when no
    // database can be had there (a read-only folder, a folder in the way, a lock held).
    static std::unique_ptr<PlayHistory> Open(const std::filesystem::path& file, std::int64_t now);
    ~PlayHistory();
    PlayHistory(const PlayHistory&) = delete;
    PlayHistory& operator=(const PlayHistory&) = delete;

    // Each is one transaction. A play makes the puzzle Played unless it is Solved.
    void RecordPlay(const PuzzleKey& puzzle, std::uint64_t size, const std::string& hash, std::int64_t now);
    void SetSolved(const std::vector<PuzzleKey>& puzzles, bool solved);
    // A rename made through Gridlark: the row goes with its file.
    void Rename(const PuzzleKey& from, const std::string& toFileName);
    // Brings the repository's rows in line with the files in it now, in one transaction. A row
    // whose file is gone is kept, marked gone, for kKeptDays (a file restored from the Recycle Bin
    // finds its history again), then dropped. A file without a row takes the row of a gone file of
    // the same size and content hash: it was renamed outside Gridlark.
    static constexpr std::int64_t kKeptDays = 30;
    void Reconcile(const std::string& repository, const std::vector<SeenFile>& files, std::int64_t now);
    // What is known of the puzzle; nothing for one never seen.
    std::optional<Entry> Find(const PuzzleKey& puzzle) const;
    // The file the database was renamed to at opening, when it was not trusted; empty otherwise.
    const std::filesystem::path& SetAside() const { return setAside_; }

private:
    explicit PlayHistory(sqlite3* db) : db_(db) {}
    void Execute(const char* sql) const;

    sqlite3* db_;
    std::filesystem::path setAside_;
};

}  // namespace history
