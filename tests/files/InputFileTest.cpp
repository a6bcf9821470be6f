// The bounded reader behind coefficient files, user waves and templates: every kind of file a
// user can name is either read whole or refused with its reason, and none of them makes a
// reader wait or grow. Devices are private mknod copies in a scratch folder, never /dev itself.
#include "files/InputFile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "files/CoeffFile.h"
#include "files/UserWave.h"
#include "vhdl/VhdlText.h"

#include "tests/support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

class Scratch : public support::ScratchFolder {
public:
    Scratch() : ScratchFolder("input") {}
    const fs::path& Dir() const { return Path(); }
};

// A writer that opens the FIFO, writes `text` and closes it, on its own thread.
class FifoWriter {
public:
    FifoWriter(const fs::path& fifo, std::string text)
        : m_thread([fifo, text] {
              const int fd = open(fifo.c_str(), O_WRONLY); // waits for the reader
              if (fd >= 0) {
                  (void)!write(fd, text.data(), text.size());
                  close(fd);
              }
          }) {}
    ~FifoWriter() { m_thread.join(); }
    FifoWriter(const FifoWriter&) = delete;
    FifoWriter& operator=(const FifoWriter&) = delete;

private:
    std::thread m_thread;
};

const std::string kCoeffs = "Data is Real : 1.0 => 1.0\n0.5\n0.25\n";
const std::string kWave = "1\n2\n3\n";
const std::string kTemplate = "constant c : integer := reph  0;\n";

// What each reader makes of one file: read (true) or refused, with its message.
struct Readings {
    bool coeffsOk;
    std::string coeffsReason;
    bool waveOk;
    std::string waveMessage;
    bool templateOk;
    std::string templateReason;
};

Readings ReadAllThree(const std::function<std::string(const std::string&)>& make) {
    Readings r;
    std::string path = make(kCoeffs);
    const files::CoeffFileBytes coeffs = files::ReadCoeffFileBytes(path);
    int loadFormat = 0;
    r.coeffsOk = coeffs.ok && !files::ParseCoeffFile(coeffs, false, loadFormat).Faulty();
    r.coeffsReason = coeffs.reason;
    path = make(kWave);
    std::array<double, 700> wave{};
    const files::UserWaveRead read = files::ReadUserWave(path, wave);
    r.waveOk = !read.Failed();
    r.waveMessage = files::DescribeUserWaveRead(path, read, wave.size());
    path = make(kTemplate);
    std::string text;
    r.templateOk =
        vhdl::ReadTemplateText(path, text, r.templateReason) == vhdl::TemplateStatus::kOk;
    return r;
}

TEST(BoundedReader, EveryKindOfFileIsReadOrRefusedAtOnce) {
    const Scratch scratch;
    const fs::path dir = scratch.Dir();
    const fs::path fifo = dir / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const fs::path zero = dir / "zero";
    ASSERT_EQ(mknod(zero.c_str(), S_IFCHR | 0600, makedev(1, 5)), 0) << "a private /dev/zero";
    const fs::path big = dir / "big.txt";
    {
        std::ofstream out(big);
        out << "1\n";
        out.seekp(static_cast<std::streamoff>(files::kMaxInputFileBytes) + 16);
        out << "\n"; // a sparse file just over the cap
    }
    const std::string nuls(1024, '\0');

    const struct {
        const char* name;
        std::function<std::string(const std::string&)> make; // the path, given the good text
        bool withWriter;
        bool ok;            // read by all three readers
        std::string reason; // the refusal every reader gives (a part of the message)
    } cases[] = {
        {"regular file",
         [&](const std::string& text) {
             std::ofstream(dir / "good.txt", std::ios::binary) << text;
             return (dir / "good.txt").string();
         },
         false, true, ""},
        {"FIFO without a writer", [&](const std::string&) { return fifo.string(); }, false, false,
         "a FIFO without a writer"},
        {"endless device", [&](const std::string&) { return zero.string(); }, false, false,
         "not a regular file or a FIFO"},
        {"over the cap", [&](const std::string&) { return big.string(); }, false, false,
         "larger than 4 MiB"},
        {"a directory", [&](const std::string&) { return dir.string(); }, false, false,
         "Is a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto start = std::chrono::steady_clock::now();
        const Readings r = ReadAllThree(c.make);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1) * 3)
            << "three readers, under a second each";
        EXPECT_EQ(r.coeffsOk, c.ok);
        EXPECT_EQ(r.waveOk, c.ok);
        EXPECT_EQ(r.templateOk, c.ok);
        if (!c.ok) {
            EXPECT_NE(r.coeffsReason.find(c.reason), std::string::npos) << r.coeffsReason;
            EXPECT_NE(r.waveMessage.find(c.reason), std::string::npos) << r.waveMessage;
            EXPECT_NE(r.templateReason.find(c.reason), std::string::npos) << r.templateReason;
        }
    }
}

// A FIFO with a writer is read whole, by each reader in turn.
TEST(BoundedReader, AFifoWithAWriterIsReadWhole) {
    const Scratch scratch;
    const fs::path fifo = scratch.Dir() / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& text : {kCoeffs, kWave, kTemplate, std::string(200000, 'x')}) {
        const FifoWriter writer(fifo, text);
        const files::InputFile file = files::ReadInputFile(fifo.string());
        EXPECT_TRUE(file.ok) << file.reason;
        EXPECT_EQ(file.text, text);
    }
    // A writer that sends more than the cap: the reader stops and closes, and the writer sees
    // a broken pipe (ignored here, as a shell's writer would die of it).
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    {
        const FifoWriter writer(fifo, std::string(files::kMaxInputFileBytes + 1, '1'));
        const files::InputFile file = files::ReadInputFile(fifo.string());
        EXPECT_FALSE(file.ok);
        EXPECT_NE(file.reason.find("larger than"), std::string::npos);
    }
    std::signal(SIGPIPE, previous);
}

// NUL bytes: an invalid character at its position in user waves and coefficient files, and no
// text template at all.
TEST(BoundedReader, NulBytesAreRefusedWhereTheyStand) {
    const Scratch scratch;
    const fs::path path = scratch.Dir() / "nul.txt";
    std::ofstream(path, std::ios::binary) << std::string("5\0junk 7\n", 9);
    std::array<double, 700> wave{};
    const files::UserWaveRead read = files::ReadUserWave(path.string(), wave);
    EXPECT_TRUE(read.Failed());
    EXPECT_EQ(read.count, 1);
    EXPECT_EQ(files::DescribeUserWaveRead("w.txt", read, wave.size()),
              "w.txt, line 1: \"?junk\" is not a number; 1 value was read before it");

    std::ofstream(path, std::ios::binary)
        << std::string("Data is Real : 1.0 => 1.0\n5\0junk\n7\n", 36);
    const files::CoeffFileBytes bytes = files::ReadCoeffFileBytes(path.string());
    ASSERT_TRUE(bytes.ok);
    int loadFormat = 0;
    const files::CoeffLoad load = files::ParseCoeffFile(bytes, false, loadFormat);
    EXPECT_TRUE(load.invalidFormat);
    EXPECT_EQ(load.badToken, std::string("5\0junk", 6));

    std::ofstream(path, std::ios::binary) << std::string("reph  0\0 reph  1\n", 17);
    std::string text = "kept";
    std::string reason;
    EXPECT_EQ(vhdl::ReadTemplateText(path.string(), text, reason),
              vhdl::TemplateStatus::kUnreadable);
    EXPECT_EQ(text, "kept");
    EXPECT_NE(reason.find("NUL"), std::string::npos);
}

TEST(BoundedReader, PathsWithControlCharactersAreQuoted) {
    EXPECT_EQ(files::QuotedPath("/tmp/w.txt"), "/tmp/w.txt");
    EXPECT_EQ(files::QuotedPath("a\nb"), "\"a\\nb\"");
    EXPECT_EQ(files::QuotedPath(std::string("x\x1b\"y", 4)), "\"x\\x1b\\\"y\"");
}

} // namespace

namespace {

// In the window "-" is a file like any other: reading it must never wait on the program's own
// standard input. Only a command-line program switches the standard-stream names on.
TEST(InputFileNames, ADashIsAPlainFileUnlessTheProgramTakesStreamsByName) {
    Scratch scratch;
    const fs::path previous = fs::current_path();
    fs::current_path(scratch.Dir());
    std::ofstream(scratch.Dir() / "-") << kWave;
    const files::InputFile plain = files::ReadInputFile("-");
    EXPECT_FALSE(files::IsStandardStreamPath("-"));
    files::UseStandardStreamNames(true);
    EXPECT_TRUE(files::IsStandardStreamPath("-"));
    EXPECT_FALSE(files::IsStandardStreamPath("./-"));
    files::UseStandardStreamNames(false);
    fs::current_path(previous);
    ASSERT_TRUE(plain.ok) << plain.reason;
    EXPECT_EQ(plain.text, kWave);
}

} // namespace
