// Saves that fail half-way on POSIX systems.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <string>

#include "platform/files.h"
#include "test_paths.h"

namespace {

using namespace platformtest;

// A write that fails half-way (here: the file-size limit, as a full disk would) must leave the
// old file whole and no temporary file behind.
TEST(AtomicWrite, FailureLeavesTheOldFileWhole) {
    TempFolder folder;
    const fs::path file = folder.path / "value";
    ASSERT_TRUE(platform::writeFileAtomically(file.string(), "old contents", 12));

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string longer(1000, 'x');
    const bool written = static_cast<bool>(platform::writeFileAtomically(file.string(), longer.data(), longer.size()));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(written);
    EXPECT_EQ(contents(file), "old contents");
    EXPECT_EQ(entries(folder.path), 1);
}

}  // namespace
