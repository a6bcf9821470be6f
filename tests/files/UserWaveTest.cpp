// Reading a user wave file: the number forms "%f" takes, the buffer cleared before reading, the
// 700-value limit, a token that is not a number ending the wave there (and where), and files
// that cannot be opened or read, which leave the previous wave as it was.
#include "files/UserWave.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/ScratchFolder.h"

namespace {

constexpr size_t kWaveIn = 700;

// This process's folder for the wave files, removed when the tests end.
const support::ScratchFolder& Folder() {
    static const support::ScratchFolder folder("userwave");
    return folder;
}

std::filesystem::path WriteTemp(const std::string& name, const std::string& text) {
    return Folder().Write(name, text);
}

std::string Numbers(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        text += std::to_string(i) + "\n";
    }
    return text;
}

TEST(UserWave, ReadsNumbersUntilTheEndOrAToken) {
    const struct {
        const char* name;
        std::string text;
        int count;
        bool complete;
        std::vector<double> first; // expected leading values
        int line;                  // where reading stopped, when not complete
        std::string token;
    } cases[] = {
        {"forms",
         "1.234\n120\n-32.1\n1.4e-2\n-3.5e1\n",
         5,
         true,
         {1.234f, 120.0, -32.1f, 1.4e-2f, -35.0},
         0,
         ""},
        {"spaces", "  1 2\t3\r\n4\n\n5", 5, true, {1, 2, 3, 4, 5}, 0, ""},
        {"ten", Numbers(10), 10, true, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 0, ""},
        {"empty", "", 0, true, {}, 0, ""},
        {"token", "1\n2\nabc\n4\n", 2, false, {1, 2}, 3, "abc"},
        {"same line", "10 20 abc 30 40", 2, false, {10, 20}, 1, "abc"},
        {"after blank lines", "1\n\n\n  2 x7\n", 2, false, {1, 2}, 4, "x7"},
        {"comma", "1.5,2.5\n3\n", 1, false, {1.5}, 1, ",2.5"},
        {"nan", "7\nnan\n8\n", 1, false, {7}, 2, "nan"},
        {"inf", "7\n-inf\n8\n", 1, false, {7}, 2, "-inf"},
        {"overflow", "7\n1e39\n8\n", 1, false, {7}, 2, "1e39"},
        {"long token", "7 " + std::string(600, '9') + "\n", 1, false, {7}, 1, std::string(40, '9')},
        {"full", Numbers(701), 700, true, {1, 2, 3}, 0, ""},
        {"full, then junk", Numbers(700) + "junk\n", 700, true, {1, 2, 3}, 0, ""},
    };
    for (const auto& c : cases) {
        const auto path = WriteTemp(c.name, c.text);
        std::vector<double> wave(kWaveIn, -99.0); // whatever the previous wave was
        const files::UserWaveRead read = files::ReadUserWave(path.string(), wave);
        std::filesystem::remove(path);
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(read.opened);
        EXPECT_EQ(read.count, c.count);
        EXPECT_EQ(read.reason, "");
        EXPECT_EQ(read.complete, c.complete);
        if (!c.complete) {
            EXPECT_EQ(read.line, c.line);
            EXPECT_EQ(read.token, c.token);
        }
        for (size_t i = 0; i < c.first.size(); ++i) {
            EXPECT_EQ(wave[i], c.first[i]) << i;
        }
        // What the file did not fill is 0, however the reading ended; a file without a single
        // value leaves the previous wave.
        const double rest = c.complete && c.count == 0 ? -99.0 : 0.0;
        for (size_t i = static_cast<size_t>(c.count); i < kWaveIn; ++i) {
            ASSERT_EQ(wave[i], rest) << i;
        }
    }
}

TEST(UserWave, ReadsNoMoreThanTheBufferHolds) {
    const auto path = WriteTemp("small", Numbers(20));
    std::array<double, 12> storage;
    storage.fill(-1.0);
    // The reader gets the first 8 entries; the 4 behind them must stay as they were.
    const files::UserWaveRead read =
        files::ReadUserWave(path.string(), std::span<double>(storage.data(), 8));
    std::filesystem::remove(path);
    EXPECT_EQ(read.count, 8);
    EXPECT_TRUE(read.complete);
    EXPECT_EQ(storage[0], 1.0);
    EXPECT_EQ(storage[7], 8.0);
    for (size_t i = 8; i < storage.size(); ++i) {
        EXPECT_EQ(storage[i], -1.0) << i;
    }
}

TEST(UserWave, AFileThatCannotBeOpenedChangesNothing) {
    std::vector<double> wave(kWaveIn, 3.0);
    const auto missing = Folder().File("no-such-dir") / "w.txt";
    const files::UserWaveRead read = files::ReadUserWave(missing.string(), wave);
    EXPECT_FALSE(read.opened);
    EXPECT_EQ(read.reason, std::strerror(ENOENT));
    EXPECT_EQ(read.count, 0);
    for (double x : wave) {
        ASSERT_EQ(x, 3.0);
    }
    EXPECT_EQ(files::DescribeUserWaveRead(missing.string(), read, kWaveIn),
              missing.string() + " cannot be opened: No such file or directory");
}

// A file that opens but cannot be read must not be taken for an empty wave: the previous wave
// stays and the reason is given.
TEST(UserWave, AFileThatCannotBeReadChangesNothing) {
    const std::string folder = Folder().Path().string();
    const struct {
        const char* path;
        int error;
    } cases[] = {
        {folder.c_str(), EISDIR},
        {"/proc/self/mem", EIO},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::vector<double> wave(kWaveIn, 3.0);
        const files::UserWaveRead read = files::ReadUserWave(c.path, wave);
        EXPECT_TRUE(read.opened);
        EXPECT_EQ(read.reason, std::strerror(c.error));
        EXPECT_TRUE(read.Failed());
        for (double x : wave) {
            ASSERT_EQ(x, 3.0);
        }
        EXPECT_EQ(files::DescribeUserWaveRead(c.path, read, kWaveIn),
                  std::string(c.path) + " cannot be read: " + std::strerror(c.error));
    }
}

// What the reader says, and whether the wave is used, for files at the edges of what it takes.
TEST(UserWave, MessagesForNumbersOutOfRangeTooManyOrNone) {
    const struct {
        const char* name;
        std::string text;
        bool used; // the wave is taken (Failed() is false)
        std::string message;
    } cases[] = {
        {"700 values", Numbers(700), true, ""},
        {"701 values", Numbers(701), true,
         "w.txt holds more than the 700 values a wave can hold; the first 700 are used"},
        {"700 values, then junk", Numbers(700) + "junk\n", true,
         "w.txt holds more than the 700 values a wave can hold; the first 700 are used"},
        {"1e308", "1\n1e308\n", false,
         "w.txt, line 2: \"1e308\" is out of range; 1 value was read before it"},
        {"1e-50 is a small number", "1e-50\n", true, ""},
        {"no values", " \n\n", false, "w.txt holds no values"},
        {"empty", "", false, "w.txt holds no values"},
        {"NUL byte", std::string("5\0junk 7", 8), false,
         "w.txt, line 1: \"?junk\" is not a number; 1 value was read before it"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = WriteTemp(c.name, c.text);
        std::vector<double> wave(kWaveIn, -99.0);
        const files::UserWaveRead read = files::ReadUserWave(path.string(), wave);
        std::filesystem::remove(path);
        EXPECT_EQ(!read.Failed(), c.used);
        EXPECT_EQ(files::DescribeUserWaveRead("w.txt", read, kWaveIn), c.message);
    }
}

TEST(UserWave, TheMessageSaysWhereReadingStopped) {
    files::UserWaveRead read;
    read.opened = true;
    read.complete = true;
    read.count = 3;
    EXPECT_EQ(files::DescribeUserWaveRead("w.txt", read, kWaveIn), "");
    read.complete = false;
    read.count = 2;
    read.line = 1;
    read.token = "abc";
    EXPECT_EQ(files::DescribeUserWaveRead("w.txt", read, kWaveIn),
              "w.txt, line 1: \"abc\" is not a number; 2 values were read before it");
}

} // namespace
