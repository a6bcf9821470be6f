// Reading a user wave file: the number forms "%f" takes, the buffer cleared before reading, the
// 700-value limit, a token that is not a number ending the wave there, and a missing file.
#include "files/UserWave.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr size_t kWaveIn = 700;

std::filesystem::path WriteTemp(const std::string& name, const std::string& text) {
    const auto path = std::filesystem::temp_directory_path() / ("vantrel-userwave-" + name);
    std::ofstream(path) << text;
    return path;
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
    } cases[] = {
        {"forms",
         "1.234\n120\n-32.1\n1.4e-2\n-3.5e1\n",
         5,
         true,
         {1.234f, 120.0, -32.1f, 1.4e-2f, -35.0}},
        {"spaces", "  1 2\t3\r\n4\n\n5", 5, true, {1, 2, 3, 4, 5}},
        {"ten", Numbers(10), 10, true, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"empty", "", 0, true, {}},
        {"token", "1\n2\nabc\n4\n", 2, false, {1, 2}},
        {"comma", "1.5,2.5\n3\n", 1, false, {1.5}},
        {"nan", "7\nnan\n8\n", 1, false, {7}},
        {"inf", "7\n-inf\n8\n", 1, false, {7}},
        {"overflow", "7\n1e39\n8\n", 1, false, {7}},
        {"full", Numbers(701), 700, true, {1, 2, 3}},
    };
    for (const auto& c : cases) {
        const auto path = WriteTemp(c.name, c.text);
        std::vector<double> wave(kWaveIn, -99.0); // whatever the previous wave was
        const files::UserWaveRead read = files::ReadUserWave(path.string(), wave);
        std::filesystem::remove(path);
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(read.opened);
        EXPECT_EQ(read.count, c.count);
        EXPECT_EQ(read.complete, c.complete);
        for (size_t i = 0; i < c.first.size(); ++i) {
            EXPECT_EQ(wave[i], c.first[i]) << i;
        }
        // What the file did not fill is 0, however the reading ended.
        for (size_t i = static_cast<size_t>(c.count); i < kWaveIn; ++i) {
            ASSERT_EQ(wave[i], 0.0) << i;
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
    const auto missing = std::filesystem::temp_directory_path() / "vantrel-no-such-dir" / "w.txt";
    const files::UserWaveRead read = files::ReadUserWave(missing.string(), wave);
    EXPECT_FALSE(read.opened);
    EXPECT_EQ(read.count, 0);
    for (double x : wave) {
        ASSERT_EQ(x, 3.0);
    }
}

} // namespace
