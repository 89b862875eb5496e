#include "host/process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "host_support.h"
#include "support/temp_folder.h"

namespace xq::host {
namespace {

using namespace std::chrono_literals;
using testing::ProcessEnds;
using testing::ProcessGone;
using testing::Shell;

std::vector<std::string> ReadAll(Process& process) {
    std::vector<std::string> lines;
    std::string line;
    while (process.ReadLine(&line, 10s) == Process::Read::Line)
        lines.push_back(line);
    return lines;
}

struct StartFailure {
    const char* name;
    ProcessCommand command;
    const char* expected;  // a part of the reason
};

TEST(ProcessTest, ProgramsThatCannotRunAreErrorsOfStart) {
    testing::TempFolder folder;
    const std::string text = (folder / "not-executable").string();
    testing::WriteWholeFile(text, "#!/bin/sh\necho hello\n");
    const std::string garbage = (folder / "garbage").string();
    testing::WriteWholeFile(garbage, std::string(64, '\x01'));
    ::chmod(garbage.c_str(), 0755);
    const StartFailure cases[] = {
        {"missing path", {"/nonexistent/engine", {}, ""}, "找不到程序 /nonexistent/engine"},
        {"missing name", {"no-such-xq-engine", {}, ""}, "找不到程序 no-such-xq-engine"},
        {"empty", {"", {}, ""}, "找不到程序"},
        {"not executable", {text, {}, ""}, "Permission denied"},
        {"no executable format", {garbage, {}, ""}, "Exec format error"},
        {"missing folder",
         {"/bin/sh", {"-c", "true"}, "/nonexistent/folder"},
         "无法进入文件夹 /nonexistent/folder"},
    };
    for (const StartFailure& c : cases) {
        SCOPED_TRACE(c.name);
        Process process;
        std::string error;
        EXPECT_FALSE(process.Start(c.command, &error));
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
        EXPECT_FALSE(process.Running());
        EXPECT_EQ(process.Pid(), -1);
    }
}

TEST(ProcessTest, AProgramIsFoundInPathInItsFolderOrBelowHome) {
    testing::TempFolder folder;
    const std::string script = "#!/bin/sh\necho \"$0\"\n";
    std::filesystem::create_directory(folder / "bin");
    testing::WriteWholeFile(folder / "bin" / "my-engine", script);
    ::chmod((folder / "bin" / "my-engine").c_str(), 0755);
    testing::ScopedEnv home("HOME", folder.Path().string());
    const std::string bin = (folder / "bin").string();
    const std::pair<ProcessCommand, std::string> cases[] = {
        {{"my-engine", {}, bin}, "bin/my-engine"},      // not in PATH: its folder
        {{"./my-engine", {}, bin}, "bin/./my-engine"},  // relative to its folder
        {{"bin/my-engine", {}, folder.Path()}, "bin/my-engine"},
        {{"~/bin/my-engine", {}, ""}, "bin/my-engine"},
        {{"sh", {"-c", "echo $0"}, bin}, "sh"},  // PATH first
    };
    for (const auto& [command, ending] : cases) {
        SCOPED_TRACE(command.program);
        Process process;
        std::string error;
        ASSERT_TRUE(process.Start(command, &error)) << error;
        const std::vector<std::string> lines = ReadAll(process);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_TRUE(lines[0].size() >= ending.size() &&
                    lines[0].compare(lines[0].size() - ending.size(), ending.size(), ending) == 0)
            << lines[0];
        EXPECT_EQ(lines[0][0], '/');
    }
}

TEST(ProcessTest, LinesComeWithoutTheirEndsAndTheLastWithoutNewlineCounts) {
    Process process;
    std::string error;
    ASSERT_TRUE(process.Start(Shell("printf 'one\\r\\ntwo\\n\\nthree'"), &error)) << error;
    EXPECT_EQ(ReadAll(process), (std::vector<std::string>{"one", "two", "", "three"}));
    std::string line;
    EXPECT_EQ(process.ReadLine(&line, 1s), Process::Read::Ended);
    EXPECT_EQ(process.BytesRead(), 15u);
}

TEST(ProcessTest, TheChildReadsWhatIsSentAndRunsInTheFolderGiven) {
    testing::TempFolder folder;
    Process process;
    std::string error;
    ASSERT_TRUE(process.Start(
        {"/bin/sh", {"-c", "read a; pwd; echo \"got $a\""}, folder.Path().string()}, &error))
        << error;
    EXPECT_TRUE(process.Send("hello there"));
    const std::vector<std::string> lines = ReadAll(process);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(std::filesystem::canonical(lines[0]), std::filesystem::canonical(folder.Path()));
    EXPECT_EQ(lines[1], "got hello there");
}

TEST(ProcessTest, WithoutAFolderTheChildRunsInItsProgramsFolder) {
    Process process;
    std::string error;
    ASSERT_TRUE(process.Start({"sh", {"-c", "pwd"}, ""}, &error)) << error;
    const std::vector<std::string> lines = ReadAll(process);
    ASSERT_EQ(lines.size(), 1u);
    // sh was found in PATH; the child starts where it lies.
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(lines[0]) / "sh")) << lines[0];
}

TEST(ProcessTest, AnOverLongLineIsCutAndItsRestDropped) {
    Process process;
    std::string error;
    const size_t length = Process::kMaxLineBytes * 3 + 17;
    ASSERT_TRUE(process.Start(
        Shell("head -c " + std::to_string(length) + " /dev/zero | tr '\\0' y; echo; echo after"),
        &error))
        << error;
    const std::vector<std::string> lines = ReadAll(process);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(Process::kMaxLineBytes, 'y'));
    EXPECT_EQ(lines[1], "after");
    EXPECT_EQ(process.BytesRead(), length + 7);
}

TEST(ProcessTest, SendingToAChildThatEndedFailsWithoutASignal) {
    Process process;
    std::string error;
    ASSERT_TRUE(process.Start(Shell("exec 0<&-; echo closed; sleep 5"), &error)) << error;
    std::string line;
    ASSERT_EQ(process.ReadLine(&line, 10s), Process::Read::Line);
    // Its input is closed: the write gets EPIPE, and this test is still alive to see it.
    EXPECT_FALSE(process.Send(std::string(100000, 'z')));
    EXPECT_FALSE(process.Send("again"));
}

struct ExitCase {
    const char* script;
    int status;
};

TEST(ProcessTest, ExitStatusTellsTheCodeOrTheSignal) {
    const ExitCase cases[] = {{"exit 0", 0}, {"exit 7", 7}, {"kill -9 $$", -9}, {"kill $$", -15}};
    for (const ExitCase& c : cases) {
        SCOPED_TRACE(c.script);
        Process process;
        std::string error;
        ASSERT_TRUE(process.Start(Shell(c.script), &error)) << error;
        EXPECT_EQ(process.ExitStatus(), -1);
        std::string line;
        EXPECT_EQ(process.ReadLine(&line, 10s), Process::Read::Ended);
        process.Stop(5s);
        EXPECT_EQ(process.ExitStatus(), c.status);
    }
}

TEST(ProcessTest, StopKillsAChildThatIgnoresItsInputAndSigterm) {
    Process process;
    std::string error;
    ASSERT_TRUE(process.Start(Shell("trap '' TERM; echo ready; while :; do sleep 1; done"), &error))
        << error;
    std::string line;
    ASSERT_EQ(process.ReadLine(&line, 10s), Process::Read::Line);
    const int pid = process.Pid();
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(process.Running());
    process.Stop();
    EXPECT_FALSE(process.Running());
    EXPECT_EQ(process.ExitStatus(), -9);
    // Reaped: no zombie of ours is left, and the process is gone.
    EXPECT_EQ(::waitpid(pid, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    EXPECT_TRUE(ProcessGone(pid));
    process.Stop();  // again: nothing happens
}

TEST(ProcessTest, StopEndsWhatAShellWrapperStarted) {
    Process process;
    std::string error;
    // The wrapper's child holds the output open and outlives the wrapper's own end.
    ASSERT_TRUE(process.Start(Shell("sleep 300 & echo $!; exit 0"), &error)) << error;
    std::string line;
    ASSERT_EQ(process.ReadLine(&line, 10s), Process::Read::Line);
    const int grandchild = std::stoi(line);
    EXPECT_FALSE(ProcessGone(grandchild));
    process.Stop();
    EXPECT_TRUE(ProcessEnds(grandchild));
}

TEST(ProcessTest, AChildDiesWithTheProgramThatStartedIt) {
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const pid_t helper = ::fork();
    ASSERT_GE(helper, 0);
    if (helper == 0) {
        // A program that starts an engine and ends without stopping it.
        Process process;
        std::string error;
        int pid = -1;
        if (process.Start(Shell("sleep 300"), &error)) pid = process.Pid();
        [[maybe_unused]] const ssize_t written = ::write(report[1], &pid, sizeof pid);
        ::_exit(0);
    }
    ::close(report[1]);
    int child = -1;
    ASSERT_EQ(::read(report[0], &child, sizeof child), static_cast<ssize_t>(sizeof child));
    ::close(report[0]);
    ::waitpid(helper, nullptr, 0);
    ASSERT_GT(child, 0);
    EXPECT_TRUE(ProcessEnds(child));
}

TEST(ProcessTest, ReadLineWaitsNoLongerThanItsTimeout) {
    Process process;
    std::string error;
    ASSERT_TRUE(process.Start(Shell("sleep 300"), &error)) << error;
    std::string line = "kept";
    EXPECT_EQ(process.ReadLine(&line, 20ms), Process::Read::Timeout);
    EXPECT_TRUE(process.Running());
}

}  // namespace
}  // namespace xq::host
