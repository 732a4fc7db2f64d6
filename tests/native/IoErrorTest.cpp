#include <gtest/gtest.h>

#include "core/IoError.h"

using io::Failure;

TEST(IoError, MessagesFollowTheTableAndSystemCodesNeverPassForShortTransfers)
{
    struct Case {
        Failure failure;
        std::uint32_t code;
        const char* message;
    };
    const Case cases[] = {
        {Failure::System, 2, "File not found"},      {Failure::System, 3, "Invalid filename"},
        {Failure::System, 4, "Too many open files"}, {Failure::System, 5, "File access denied"},
        {Failure::System, 38, "I/O error 38"},       {Failure::System, 112, "I/O error 112"},
        {Failure::System, 123, "I/O error 123"},     {Failure::ShortRead, 0, "Read beyond end of file"},
        {Failure::ShortWrite, 0, "Disk full"},
    };
    for (const auto& c : cases) {
        io::IoError error(c.failure, c.code);
        EXPECT_STREQ(error.what(), c.message) << c.code;
        EXPECT_EQ(error.Code(), c.code);
    }
}
