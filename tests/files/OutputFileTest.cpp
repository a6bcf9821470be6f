// The output-file component against every kind of target a user can name: a new or existing
// regular file, a symbolic link, a device, a FIFO, a folder, a name at the length limit, and a
// write that fails half way. After a failure the old file must be as it was and no temporary
// file may be left beside it.
#include "files/OutputFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
    return info.st_mode;
}

// A fresh, empty folder for one case, removed afterwards.
class Scratch : public support::ScratchFolder {
public:
    Scratch() : ScratchFolder("output") {}
    const fs::path& Dir() const { return Path(); }
    // The names in the folder, so a stray temporary file shows up.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(Path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

const std::string kText = "0 -0.5 0\n1 -0.25 -3.1\n";

struct Case {
    const char* name;
    // Prepares the folder and returns the path handed to WriteOutputFile.
    std::function<std::string(const fs::path& dir)> prepare;
    bool ok;
    int error; // the expected errno when !ok
    // Checks what is on disk afterwards.
    std::function<void(const fs::path& dir, const std::string& path)> check;
    std::vector<std::string> names; // what the folder holds afterwards (no temporary files)
};

TEST(OutputFile, EachKindOfTarget) {
    const mode_t umaskNow = [] {
        const mode_t mask = umask(0);
        umask(mask);
        return mask;
    }();
    const std::string longName = std::string(248, 'r') + ".txt"; // 252 characters
    const Case cases[] = {
        {"new file",
         [](const fs::path& dir) { return (dir / "resp.txt").string(); },
         true,
         0,
         [&](const fs::path&, const std::string& path) {
             EXPECT_EQ(ReadText(path), kText);
             EXPECT_EQ(ModeOf(path) & 07777, 0666 & ~umaskNow);
         },
         {"resp.txt"}},
        {"existing file keeps its mode",
         [](const fs::path& dir) {
             WriteText(dir / "resp.txt", "old text that is longer than the new text, much longer");
             chmod((dir / "resp.txt").c_str(), 0640);
             return (dir / "resp.txt").string();
         },
         true,
         0,
         [](const fs::path&, const std::string& path) {
             EXPECT_EQ(ReadText(path), kText);
             EXPECT_EQ(ModeOf(path) & 07777, 0640u);
         },
         {"resp.txt"}},
        {"unrelated .part file untouched",
         [](const fs::path& dir) {
             WriteText(dir / "resp.txt.part", "someone else's");
             return (dir / "resp.txt").string();
         },
         true,
         0,
         [](const fs::path& dir, const std::string&) {
             EXPECT_EQ(ReadText(dir / "resp.txt.part"), "someone else's");
         },
         {"resp.txt", "resp.txt.part"}},
        {"symlink followed, target replaced",
         [](const fs::path& dir) {
             fs::create_directory(dir / "real");
             WriteText(dir / "real" / "data.txt", "old");
             fs::create_symlink("real/data.txt", dir / "link.txt");
             return (dir / "link.txt").string();
         },
         true,
         0,
         [](const fs::path& dir, const std::string& path) {
             EXPECT_TRUE(S_ISLNK(ModeOf(path)));
             EXPECT_EQ(ReadText(dir / "real" / "data.txt"), kText);
             EXPECT_EQ(fs::read_symlink(path), "real/data.txt");
             EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), {}), 1);
         },
         {"link.txt", "real"}},
        {"dangling symlink creates its target",
         [](const fs::path& dir) {
             fs::create_symlink(dir / "made.txt", dir / "link.txt");
             return (dir / "link.txt").string();
         },
         true,
         0,
         [](const fs::path& dir, const std::string& path) {
             EXPECT_TRUE(S_ISLNK(ModeOf(path)));
             EXPECT_EQ(ReadText(dir / "made.txt"), kText);
         },
         {"link.txt", "made.txt"}},
        {"symlink loop",
         [](const fs::path& dir) {
             fs::create_symlink("b", dir / "a");
             fs::create_symlink("a", dir / "b");
             return (dir / "a").string();
         },
         false,
         ELOOP,
         nullptr,
         {"a", "b"}},
        // Replacing a file atomically gives it a new inode: a second hard link keeps the old
        // text. That is the price of never leaving a half-written file; the name written to
        // gets the new text and the other name is not damaged.
        {"hard link: the other name keeps the old text",
         [](const fs::path& dir) {
             WriteText(dir / "one.txt", "old");
             fs::create_hard_link(dir / "one.txt", dir / "two.txt");
             return (dir / "one.txt").string();
         },
         true,
         0,
         [](const fs::path& dir, const std::string& path) {
             EXPECT_EQ(ReadText(path), kText);
             EXPECT_EQ(ReadText(dir / "two.txt"), "old");
         },
         {"one.txt", "two.txt"}},
        {"252-character name",
         [&](const fs::path& dir) { return (dir / longName).string(); },
         true,
         0,
         [](const fs::path&, const std::string& path) { EXPECT_EQ(ReadText(path), kText); },
         {longName}},
        {"directory as target",
         [](const fs::path& dir) {
             fs::create_directory(dir / "out");
             return (dir / "out").string();
         },
         false,
         EISDIR,
         [](const fs::path& dir, const std::string& path) {
             EXPECT_TRUE(fs::is_directory(path));
             EXPECT_TRUE(fs::is_empty(dir / "out"));
         },
         {"out"}},
        {"missing folder",
         [](const fs::path& dir) { return (dir / "nowhere" / "resp.txt").string(); },
         false,
         ENOENT,
         nullptr,
         {}},
        {"empty name", [](const fs::path&) { return std::string(); }, false, ENOENT, nullptr, {}},
        {"/dev/null written in place",
         [](const fs::path&) { return std::string("/dev/null"); },
         true,
         0,
         [](const fs::path&, const std::string& path) { EXPECT_TRUE(S_ISCHR(ModeOf(path))); },
         {}},
        {"/dev/full reports the full device",
         [](const fs::path&) { return std::string("/dev/full"); },
         false,
         ENOSPC,
         [](const fs::path&, const std::string& path) { EXPECT_TRUE(S_ISCHR(ModeOf(path))); },
         {}},
        {"symlink to /dev/full",
         [](const fs::path& dir) {
             fs::create_symlink("/dev/full", dir / "full");
             return (dir / "full").string();
         },
         false,
         ENOSPC,
         [](const fs::path&, const std::string& path) { EXPECT_TRUE(S_ISLNK(ModeOf(path))); },
         {"full"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scratch scratch;
        const std::string path = c.prepare(scratch.Dir());
        const files::OutputResult result = files::WriteOutputFile(path, kText);
        EXPECT_EQ(result.ok, c.ok);
        EXPECT_EQ(result.path, path);
        if (c.ok) {
            EXPECT_EQ(result.reason, "");
        } else {
            EXPECT_EQ(result.reason, std::strerror(c.error));
            EXPECT_EQ(result.Describe(), path + ": " + std::strerror(c.error));
        }
        if (c.check) {
            c.check(scratch.Dir(), path);
        }
        EXPECT_EQ(scratch.Names(), c.names);
    }
}

// A FIFO is written in place and stays a FIFO; the reader runs in its own thread, so the writer's
// open finds it.
TEST(OutputFile, FifoIsWrittenInPlace) {
    Scratch scratch;
    const fs::path fifo = scratch.Dir() / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadText(fifo); });
    const files::OutputResult result = files::WriteOutputFile(fifo.string(), kText);
    reader.join();
    EXPECT_TRUE(result.ok) << result.Describe();
    EXPECT_EQ(received, kText);
    EXPECT_TRUE(S_ISFIFO(ModeOf(fifo)));
    EXPECT_EQ(scratch.Names(), std::vector<std::string>{"pipe"});
}

// A write that fails half way (here: the file-size limit, which works whoever runs the test)
// leaves the old file as it was and removes the temporary file.
TEST(OutputFile, AFailedWriteKeepsTheOldFile) {
    Scratch scratch;
    const fs::path target = scratch.Dir() / "resp.txt";
    WriteText(target, "the good old response");
    chmod(target.c_str(), 0604);
    const std::string big(64 * 1024, 'x');

    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const files::OutputResult result = files::WriteOutputFile(target.string(), big);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.reason, std::strerror(EFBIG));
    EXPECT_EQ(ReadText(target), "the good old response");
    EXPECT_EQ(ModeOf(target) & 07777, 0604u);
    EXPECT_EQ(scratch.Names(), std::vector<std::string>{"resp.txt"});
}

// Standard output named as a file: what the program printed stays, the file's text follows it,
// and what is printed afterwards follows that. Through the name of the descriptor and through
// the file's own name alike.
TEST(OutputFile, StandardOutputAsTheTargetIsWrittenInPlace) {
    const Scratch scratch;
    const fs::path captured = scratch.Dir() / "so.txt";
    for (const std::string& target :
         {std::string("/proc/self/fd/1"), std::string("/dev/stdout"), captured.string()}) {
        SCOPED_TRACE(target);
        std::fflush(stdout);
        const int saved = dup(STDOUT_FILENO);
        const int file = open(captured.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(file, 0);
        dup2(file, STDOUT_FILENO);
        close(file);
        std::printf("taps\n"); // still in the stream's buffer when the file is written
        const files::OutputResult result = files::WriteOutputFile(target, "response\n");
        std::printf("after\n");
        std::fflush(stdout);
        dup2(saved, STDOUT_FILENO);
        close(saved);
        EXPECT_TRUE(result.ok) << result.Describe();
        EXPECT_EQ(ReadText(captured), "taps\nresponse\nafter\n");
        EXPECT_EQ(scratch.Names(), std::vector<std::string>{"so.txt"}) << "no temporary left";
    }
}

// A target whose path is as long as the system takes (a long folder and a long name) is written
// like any other: the temporary name does not lengthen the path.
TEST(OutputFile, ThePathsTouchCanCreateCanBeWritten) {
    const Scratch scratch;
    fs::path folder = scratch.Dir();
    while (folder.string().size() < PATH_MAX - 2 * NAME_MAX) {
        folder /= std::string(200, 'd');
    }
    fs::create_directories(folder);
    const size_t room = PATH_MAX - 1 - folder.string().size() - 1; // the longest name left
    for (const size_t length : {std::min<size_t>(room, NAME_MAX), size_t{1}}) {
        const fs::path target = folder / std::string(length, 'f');
        SCOPED_TRACE(target.string().size());
        const files::OutputResult result = files::WriteOutputFile(target.string(), kText);
        EXPECT_TRUE(result.ok) << result.reason;
        EXPECT_EQ(ReadText(target), kText);
        const files::OutputResult again = files::WriteOutputFile(target.string(), "new");
        EXPECT_TRUE(again.ok) << again.reason;
        EXPECT_EQ(ReadText(target), "new");
    }
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) {
        ++entries;
    }
    EXPECT_EQ(entries, 2u) << "no temporary left";
}

} // namespace
