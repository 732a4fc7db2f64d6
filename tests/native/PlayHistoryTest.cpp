#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "history/PlayHistory.h"

using history::Entry;
using history::PlayHistory;
using history::PuzzleKey;
using history::Status;

namespace {

constexpr std::int64_t kDecember11 = 1796995800;  // 2026-12-11 13:30:00 UTC

// A folder of its own for each test, removed afterwards.
class PlayHistoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("gridlark-history-" + std::to_string(::getpid()) + "-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override
    {
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
        std::filesystem::remove_all(folder_);
    }
    std::filesystem::path File() const { return folder_ / "library.db"; }
    void Write(const std::string& bytes) const { std::ofstream(File(), std::ios::binary) << bytes; }
    // Runs SQL on the file with SQLite itself, as another program would.
    void Tamper(const char* sql) const
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(File().string().c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
    }
    std::size_t FilesSetAside() const
    {
        std::size_t count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder_))
            count += entry.path().filename().string().rfind("library.db.corrupt-", 0) == 0;
        return count;
    }

    std::filesystem::path folder_;
};

const PuzzleKey kOwls{"C:\\PUZZLES\\", "(K7) OWLS.JGF"};
const PuzzleKey kWrens{"C:\\PUZZLES\\", "(K7) WRENS.JGF"};
const PuzzleKey kOwlsElsewhere{"D:\\OTHER\\", "(K7) OWLS.JGF"};

}  // namespace

TEST_F(PlayHistoryTest, PlaysAndStatusesAreKeptPerRepositoryAcrossOpenings)
{
    {
        auto store = PlayHistory::Open(File(), kDecember11);
        EXPECT_EQ(store->Find(kOwls), std::nullopt);
        store->RecordPlay(kOwls, 1200, "hash-owls", kDecember11);
        store->RecordPlay(kOwls, 1200, "hash-owls", kDecember11 + 60);
        store->SetSolved({kWrens}, true);  // solved without a play through Gridlark
    }
    auto store = PlayHistory::Open(File(), kDecember11 + 120);
    EXPECT_TRUE(store->SetAside().empty());
    const auto owls = store->Find(kOwls);
    ASSERT_TRUE(owls.has_value());
    EXPECT_EQ(owls->status, Status::Played);
    EXPECT_EQ(owls->lastPlayed, kDecember11 + 60);
    EXPECT_EQ(owls->timesPlayed, 2);
    EXPECT_EQ(store->Find(kOwlsElsewhere), std::nullopt);  // another repository's puzzle of that name
    EXPECT_EQ(store->Find(kWrens)->status, Status::Solved);

    // A play keeps Solved; clearing it goes back to Played, or New for one never played.
    store->SetSolved({kOwls}, true);
    store->RecordPlay(kOwls, 1200, "hash-owls", kDecember11 + 180);
    EXPECT_EQ(store->Find(kOwls)->status, Status::Solved);
    store->SetSolved({kOwls, kWrens}, false);
    EXPECT_EQ(store->Find(kOwls)->status, Status::Played);
    EXPECT_EQ(store->Find(kWrens)->status, Status::New);
    EXPECT_EQ(store->Find(kOwls)->timesPlayed, 3);
}

TEST_F(PlayHistoryTest, AnEmptyFileGetsTheSchemaAndAForeignOrDamagedOneIsSetAsideForANewOne)
{
    struct Case {
        const char* what;
        std::function<void()> make;
        bool setAside;
    };
    const Case cases[] = {
        {"an empty file", [&] { Write(""); }, false},
        {"garbage", [&] { Write(std::string(8192, '\x5A')); }, true},
        {"a database of another schema", [&] { Tamper("CREATE TABLE puzzle(x); PRAGMA user_version = 1;"); }, true},
        {"a newer schema", [&] { Tamper("PRAGMA user_version = 7;"); }, true},
        {"an extra table",
         [&] {
             PlayHistory::Open(File(), kDecember11).reset();
             Tamper("CREATE TABLE extra(x)");
         },
         true},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        c.make();
        auto store = PlayHistory::Open(File(), kDecember11);
        EXPECT_EQ(!store->SetAside().empty(), c.setAside) << c.what;
        EXPECT_EQ(FilesSetAside(), c.setAside ? 1u : 0u) << c.what;
        if (c.setAside) {
            EXPECT_EQ(store->SetAside().filename().string(), "library.db.corrupt-20261211-133000") << c.what;
        }
        store->RecordPlay(kOwls, 1, "h", kDecember11);  // the new database works
        EXPECT_EQ(store->Find(kOwls)->timesPlayed, 1) << c.what;
    }
}

TEST_F(PlayHistoryTest, ValuesOutOfRangeAndHugeTextsAreRefused)
{
    PlayHistory::Open(File(), kDecember11).reset();
    // The schema's checks hold against any writer.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(File().string().c_str(), &db), SQLITE_OK);
    for (const char* sql : {"INSERT INTO puzzle VALUES('C:\\', 'a.JGF', 0, '', 3, 0, 0, 0)",
                            "INSERT INTO puzzle VALUES('C:\\', 'a.JGF', 'big', '', 0, 0, 0, 0)",
                            "INSERT INTO puzzle VALUES('C:\\', zeroblob(10), 0, '', 0, 0, 0, 0)",
                            "INSERT INTO puzzle VALUES('C:\\', printf('%.2000c', 'x'), 0, '', 0, 0, 0, 0)"})
        EXPECT_NE(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    sqlite3_close(db);
    auto store = PlayHistory::Open(File(), kDecember11);
    EXPECT_TRUE(store->SetAside().empty());
    EXPECT_THROW(store->RecordPlay({"C:\\", std::string(2000, 'x')}, 1, "h", kDecember11), history::HistoryError);
}

TEST_F(PlayHistoryTest, NoDatabaseWhereTheFolderIsReadOnlyOrAFolderIsInTheWay)
{
    std::filesystem::create_directories(File());  // a folder named library.db
    EXPECT_THROW(PlayHistory::Open(File(), kDecember11), history::HistoryError);
    std::filesystem::remove(File());
    if (::geteuid() != 0) {  // root writes anywhere
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        EXPECT_THROW(PlayHistory::Open(File(), kDecember11), history::HistoryError);
    }
}

TEST_F(PlayHistoryTest, TheHistoryFollowsRenamesAndKeepsAGoneFileForThirtyDays)
{
    constexpr std::int64_t kDay = 24 * 60 * 60;
    auto store = PlayHistory::Open(File(), kDecember11);
    const std::string folder = kOwls.repository;
    store->RecordPlay(kOwls, 10, "owls", kDecember11);
    store->RecordPlay(kOwlsElsewhere, 10, "owls", kDecember11);
    const auto playsOf = [&](const std::string& name) {
        const auto entry = store->Find({folder, name});
        return entry ? entry->timesPlayed : -1;
    };
    // Renamed outside Gridlark: the next listing finds it by its size and content.
    store->Reconcile(folder, {{"BARN OWLS.JGF", 10, "owls"}, {"(K7) WRENS.JGF", 10, "wrens"}}, kDecember11);
    EXPECT_EQ(playsOf("BARN OWLS.JGF"), 1);
    EXPECT_EQ(playsOf("(K7) OWLS.JGF"), -1);
    EXPECT_EQ(playsOf("(K7) WRENS.JGF"), -1);  // a new file gets no row until it is played
    // Renamed through Gridlark.
    store->Rename({folder, "BARN OWLS.JGF"}, "TAWNY OWLS.JGF");
    EXPECT_EQ(playsOf("TAWNY OWLS.JGF"), 1);
    // Deleted: kept for thirty days, found again when the file comes back, dropped after.
    store->Reconcile(folder, {}, kDecember11 + kDay);
    store->Reconcile(folder, {}, kDecember11 + 30 * kDay);
    EXPECT_EQ(playsOf("TAWNY OWLS.JGF"), 1);
    store->Reconcile(folder, {{"TAWNY OWLS.JGF", 10, "owls"}}, kDecember11 + 30 * kDay);
    store->Reconcile(folder, {}, kDecember11 + 40 * kDay);
    store->Reconcile(folder, {}, kDecember11 + 69 * kDay);
    EXPECT_EQ(playsOf("TAWNY OWLS.JGF"), 1);  // gone since day 40
    store->Reconcile(folder, {}, kDecember11 + 71 * kDay);
    EXPECT_EQ(playsOf("TAWNY OWLS.JGF"), -1);
    // Another repository's rows are its own.
    EXPECT_EQ(store->Find(kOwlsElsewhere)->timesPlayed, 1);
}
