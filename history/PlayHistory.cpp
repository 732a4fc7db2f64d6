#include "history/PlayHistory.h"

#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <set>
#include <utility>
#include <ctime>
#include <system_error>

namespace history {

namespace {

// The schema, as SQLite keeps its text: a database whose objects differ in any way is not ours.
constexpr const char* kTableSql =
    "CREATE TABLE puzzle("
    "repository TEXT NOT NULL CHECK(length(repository) BETWEEN 1 AND 1024), "
    "name TEXT NOT NULL CHECK(length(name) BETWEEN 1 AND 1024), "
    "size INTEGER NOT NULL CHECK(size >= 0), "
    "hash TEXT NOT NULL CHECK(length(hash) <= 128), "
    "status INTEGER NOT NULL CHECK(status BETWEEN 0 AND 2), "
    "last_played INTEGER NOT NULL CHECK(last_played >= 0), "
    "times_played INTEGER NOT NULL CHECK(times_played >= 0), "
    "gone_since INTEGER NOT NULL DEFAULT 0 CHECK(gone_since >= 0), "
    "PRIMARY KEY(repository, name)) STRICT";
constexpr const char* kIndexSql = "CREATE INDEX puzzle_hash ON puzzle(repository, hash)";

using Statement = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>;

[[noreturn]] void Fail(sqlite3* db, const char* what)
{
    throw HistoryError(std::string(what) + ": " + (db != nullptr ? sqlite3_errmsg(db) : "no database"));
}

Statement Prepare(sqlite3* db, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
        Fail(db, "the history's statement could not be prepared");
    return Statement(statement, &sqlite3_finalize);
}

void Bind(sqlite3_stmt* statement, int index, const std::string& text)
{
    sqlite3_bind_text(statement, index, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

// Runs a statement that answers nothing to its end.
void Run(sqlite3* db, sqlite3_stmt* statement, const char* what)
{
    if (sqlite3_step(statement) != SQLITE_DONE)
        Fail(db, what);
}

// Whether a failure says the file is no sound database, rather than that it cannot be reached.
bool IsDamage(int code)
{
    const int primary = code & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB || primary == SQLITE_FORMAT;
}

// The file's name for a copy set aside at that time: library.db.corrupt-20261211-153000.
std::filesystem::path AsideName(const std::filesystem::path& file, std::int64_t now)
{
    const std::time_t when = static_cast<std::time_t>(now);
    std::tm parts{};
#ifdef _WIN32
    gmtime_s(&parts, &when);
#else
    gmtime_r(&when, &parts);
#endif
    char stamp[32] = {};
    std::strftime(stamp, sizeof(stamp), "%Y%m%d-%H%M%S", &parts);
    std::filesystem::path aside = file;
    aside += std::string(".corrupt-") + stamp;
    for (int n = 2; std::filesystem::exists(aside); ++n) {
        aside = file;
        aside += std::string(".corrupt-") + stamp + "-" + std::to_string(n);
    }
    return aside;
}

enum class Trust { Trusted, Untrusted };

// One row of text from a statement that answers one value.
std::optional<std::string> TextOf(sqlite3* db, const char* sql, int& code)
{
    sqlite3_stmt* raw = nullptr;
    code = sqlite3_prepare_v2(db, sql, -1, &raw, nullptr);
    Statement statement(raw, &sqlite3_finalize);
    if (code != SQLITE_OK)
        return std::nullopt;
    code = sqlite3_step(raw);
    if (code != SQLITE_ROW)
        return std::nullopt;
    code = SQLITE_OK;
    const unsigned char* text = sqlite3_column_text(raw, 0);
    return text != nullptr ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

// Whether the database is whole and ours, making the schema in an empty one. A failure to reach or
// write the file is thrown; damage is answered as distrust.
Trust Check(sqlite3* db)
{
    int code = SQLITE_OK;
    const auto checked = TextOf(db, "PRAGMA integrity_check(1)", code);
    if (!checked) {
        if (IsDamage(code))
            return Trust::Untrusted;
        Fail(db, "the history could not be read");
    }
    if (*checked != "ok")
        return Trust::Untrusted;
    const auto journal = TextOf(db, "PRAGMA journal_mode=WAL", code);
    if (!journal || *journal != "wal")
        Fail(db, "the history could not keep a write-ahead log");
    const auto version = TextOf(db, "PRAGMA user_version", code);
    const auto objects = TextOf(db, "SELECT count(*) FROM sqlite_master", code);
    if (!version || !objects)
        Fail(db, "the history could not be read");
    if (*version == "0" && *objects == "0") {
        // A new file: the schema is made in one transaction, its version with it.
        const std::string make = std::string("BEGIN IMMEDIATE; ") + kTableSql + "; " + kIndexSql +
                                 "; PRAGMA user_version = " + std::to_string(PlayHistory::kSchemaVersion) + "; COMMIT;";
        if (sqlite3_exec(db, make.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            Fail(db, "the history's tables could not be made");
        }
        return Trust::Trusted;
    }
    if (*version != std::to_string(PlayHistory::kSchemaVersion))
        return Trust::Untrusted;
    const auto table = TextOf(db,
                              "SELECT group_concat(sql, ';') FROM "
                              "(SELECT sql FROM sqlite_master WHERE sql IS NOT NULL ORDER BY type DESC, name)",
                              code);
    return table && *table == std::string(kTableSql) + ";" + kIndexSql ? Trust::Trusted : Trust::Untrusted;
}

}  // namespace

std::unique_ptr<PlayHistory> PlayHistory::Open(const std::filesystem::path& file, std::int64_t now)
{
    std::filesystem::path aside;
    for (int attempt = 0; attempt < 2; ++attempt) {
        sqlite3* raw = nullptr;
        // SQLite takes the path in UTF-8, whatever the system's code page.
        const std::u8string utf8 = file.u8string();
        const int code = sqlite3_open_v2(reinterpret_cast<const char*>(utf8.c_str()), &raw,
                                         SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
        std::unique_ptr<PlayHistory> history(new PlayHistory(raw));
        if (code != SQLITE_OK)
            Fail(raw, "the history could not be opened");
        sqlite3_busy_timeout(raw, 2000);
        sqlite3_extended_result_codes(raw, 1);
        if (Check(raw) == Trust::Trusted) {
            history->setAside_ = aside;
            return history;
        }
        history.reset();  // closed before its file moves
        aside = AsideName(file, now);
        std::error_code error;
        std::filesystem::rename(file, aside, error);
        if (error)
            throw HistoryError("the damaged history could not be set aside: " + error.message());
        for (const char* companion : {"-wal", "-shm"}) {
            std::filesystem::path path = file;
            path += companion;
            std::filesystem::remove(path, error);
        }
    }
    throw HistoryError("no history could be started");
}

PlayHistory::~PlayHistory() { sqlite3_close_v2(db_); }

void PlayHistory::RecordPlay(const PuzzleKey& puzzle, std::uint64_t size, const std::string& hash, std::int64_t now)
{
    const Statement statement = Prepare(
        db_,
        "INSERT INTO puzzle(repository, name, size, hash, status, last_played, times_played) "
        "VALUES(?1, ?2, ?3, ?4, 1, ?5, 1) ON CONFLICT(repository, name) DO UPDATE SET size = excluded.size, "
        "hash = excluded.hash, status = CASE status WHEN 2 THEN 2 ELSE 1 END, last_played = excluded.last_played, "
        "times_played = times_played + 1, gone_since = 0");
    Bind(statement.get(), 1, puzzle.repository);
    Bind(statement.get(), 2, puzzle.fileName);
    sqlite3_bind_int64(statement.get(), 3, static_cast<sqlite3_int64>(size));
    Bind(statement.get(), 4, hash);
    sqlite3_bind_int64(statement.get(), 5, now);
    Run(db_, statement.get(), "the play could not be recorded");
}

void PlayHistory::SetSolved(const std::vector<PuzzleKey>& puzzles, bool solved)
{
    Execute("BEGIN IMMEDIATE");
    try {
        const Statement statement =
            solved ? Prepare(db_,
                             "INSERT INTO puzzle(repository, name, size, hash, status, last_played, times_played) "
                             "VALUES(?1, ?2, 0, '', 2, 0, 0) ON CONFLICT(repository, name) DO UPDATE SET status = 2")
                   : Prepare(db_,
                             "UPDATE puzzle SET status = CASE WHEN times_played > 0 THEN 1 ELSE 0 END "
                             "WHERE repository = ?1 AND name = ?2");
        for (const PuzzleKey& puzzle : puzzles) {
            sqlite3_reset(statement.get());
            Bind(statement.get(), 1, puzzle.repository);
            Bind(statement.get(), 2, puzzle.fileName);
            Run(db_, statement.get(), "the status could not be stored");
        }
        Execute("COMMIT");
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void PlayHistory::Rename(const PuzzleKey& from, const std::string& toFileName)
{
    const Statement statement =
        Prepare(db_, "UPDATE OR REPLACE puzzle SET name = ?3, gone_since = 0 WHERE repository = ?1 AND name = ?2");
    Bind(statement.get(), 1, from.repository);
    Bind(statement.get(), 2, from.fileName);
    Bind(statement.get(), 3, toFileName);
    Run(db_, statement.get(), "the renamed puzzle's history could not be moved");
}

void PlayHistory::Reconcile(const std::string& repository, const std::vector<SeenFile>& files, std::int64_t now)
{
    struct Row {
        std::uint64_t size;
        std::string hash;
        std::int64_t goneSince;
    };
    Execute("BEGIN IMMEDIATE");
    try {
        std::map<std::string, Row> rows;
        {
            const Statement select =
                Prepare(db_, "SELECT name, size, hash, gone_since FROM puzzle WHERE repository = ?1");
            Bind(select.get(), 1, repository);
            while (sqlite3_step(select.get()) == SQLITE_ROW)
                rows[reinterpret_cast<const char*>(sqlite3_column_text(select.get(), 0))] = {
                    static_cast<std::uint64_t>(sqlite3_column_int64(select.get(), 1)),
                    reinterpret_cast<const char*>(sqlite3_column_text(select.get(), 2)),
                    sqlite3_column_int64(select.get(), 3)};
        }
        // The files with no row, by size and content: where a gone row's file went.
        std::multimap<std::pair<std::uint64_t, std::string>, std::string> unknown;
        std::set<std::string> seen;
        for (const SeenFile& file : files) {
            seen.insert(file.fileName);
            if (rows.count(file.fileName) == 0 && !file.hash.empty())
                unknown.emplace(std::make_pair(file.size, file.hash), file.fileName);
        }
        const Statement setGone = Prepare(db_, "UPDATE puzzle SET gone_since = ?3 WHERE repository = ?1 AND name = ?2");
        const Statement move =
            Prepare(db_, "UPDATE puzzle SET name = ?3, gone_since = 0 WHERE repository = ?1 AND name = ?2");
        const Statement drop = Prepare(db_, "DELETE FROM puzzle WHERE repository = ?1 AND name = ?2");
        const auto run = [&](sqlite3_stmt* statement, const std::string& name, const std::string* to,
                             std::int64_t goneSince) {
            sqlite3_reset(statement);
            Bind(statement, 1, repository);
            Bind(statement, 2, name);
            if (to != nullptr)
                Bind(statement, 3, *to);
            else
                sqlite3_bind_int64(statement, 3, goneSince);
            Run(db_, statement, "the history could not follow the folder");
        };
        for (const auto& [name, row] : rows) {
            if (seen.count(name) != 0) {
                if (row.goneSince != 0)
                    run(setGone.get(), name, nullptr, 0);  // back again
                continue;
            }
            const auto moved = unknown.find({row.size, row.hash});
            if (moved != unknown.end()) {
                run(move.get(), name, &moved->second, 0);
                unknown.erase(moved);
            } else if (row.goneSince == 0) {
                run(setGone.get(), name, nullptr, now);
            } else if (row.goneSince < now - kKeptDays * 24 * 60 * 60) {
                sqlite3_reset(drop.get());
                Bind(drop.get(), 1, repository);
                Bind(drop.get(), 2, name);
                Run(db_, drop.get(), "the history could not follow the folder");
            }
        }
        Execute("COMMIT");
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

std::optional<Entry> PlayHistory::Find(const PuzzleKey& puzzle) const
{
    const Statement statement =
        Prepare(db_, "SELECT status, last_played, times_played FROM puzzle WHERE repository = ?1 AND name = ?2");
    Bind(statement.get(), 1, puzzle.repository);
    Bind(statement.get(), 2, puzzle.fileName);
    const int code = sqlite3_step(statement.get());
    if (code == SQLITE_DONE)
        return std::nullopt;
    if (code != SQLITE_ROW)
        Fail(db_, "the history could not be read");
    const std::int64_t status = sqlite3_column_int64(statement.get(), 0);
    if (status < 0 || status > 2)
        Fail(db_, "the history holds a status it does not know");
    return Entry{static_cast<Status>(status), sqlite3_column_int64(statement.get(), 1),
                 sqlite3_column_int64(statement.get(), 2)};
}

void PlayHistory::Execute(const char* sql) const
{
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        Fail(db_, "the history could not be written");
}

}  // namespace history
