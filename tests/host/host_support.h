// What the host tests share: whether a process is gone, shell commands as process commands, and
// the fake engine with its misbehaviours.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "host/engineclient.h"
#include "host/process.h"

namespace xq::testing {

// True when `pid` is no process any more, or a zombie another parent (init) has yet to reap:
// either way nothing of it runs.
inline bool ProcessGone(int pid) {
    if (pid <= 0) return true;
    if (::kill(pid, 0) != 0) return errno == ESRCH;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string content((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = content.rfind(')');
    return close != std::string::npos && close + 2 < content.size() && content[close + 2] == 'Z';
}

// Waits up to `patience` for ProcessGone (a signal takes a moment to be delivered).
inline bool ProcessEnds(int pid, std::chrono::milliseconds patience = std::chrono::seconds(5)) {
    const auto end = std::chrono::steady_clock::now() + patience;
    while (!ProcessGone(pid)) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

inline host::ProcessCommand Shell(const std::string& script) {
    return host::ProcessCommand{"/bin/sh", {"-c", script}, ""};
}

// The fake engine run as `words` say: its protocol ("uci", "ucci", "xboard") and its flags.
inline host::EngineSetup FakeSetup(const std::string& words,
                                   host::Protocol asked = host::Protocol::Auto) {
    host::EngineSetup setup;
    setup.name = "Fake";
    setup.command.program = FAKE_ENGINE;
    std::istringstream in(words);
    for (std::string word; in >> word;)
        setup.command.arguments.push_back(word);
    setup.protocol = asked;
    return setup;
}

// `lines` split at each |.
inline std::vector<std::string> SplitBars(const std::string& lines) {
    std::vector<std::string> parts;
    std::istringstream in(lines);
    for (std::string part; std::getline(in, part, '|');)
        parts.push_back(part);
    return parts;
}

}  // namespace xq::testing
