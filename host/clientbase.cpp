#include "host/clientbase.h"

#include <signal.h>

#include <filesystem>

#include "platform/texts.h"

namespace xq::host {

namespace {

// How long Quit waits for an engine to leave by itself after `quit`.
constexpr std::chrono::milliseconds kQuitWait{500};

}  // namespace

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

bool SameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && AsciiLower(a) == AsciiLower(b);
}

std::string_view AfterWords(std::string_view line, size_t count) {
    size_t i = 0;
    for (size_t word = 0; word <= count; ++word) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (word == count) break;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
    }
    return line.substr(i);
}

std::string ShownEngineText(std::string_view text) {
    std::string shown;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        // A UTF-8 character begins at any byte but a continuation byte (10xxxxxx).
        if (shown.size() >= kShownTextBytes && (byte & 0xC0) != 0x80) return shown + "…";
        shown += byte < 0x20 || byte == 0x7F ? '?' : text[i];
    }
    return shown;
}

ClientBase::ClientBase(std::unique_ptr<Process> process, const EngineSetup& setup)
    : process_(std::move(process)), setup_(setup) {
    displayName_ = !setup.name.empty()
                       ? setup.name
                       : std::filesystem::path(setup.command.program).filename().string();
    identity_.ranks = setup.ranks;
    moves_.SetRanks(setup.ranks);
}

ClientBase::~ClientBase() {
    Quit();
}

void ClientBase::Quit() {
    if (!process_) return;
    process_->Send("quit");
    process_->Stop(kQuitWait);
    searching_ = false;
}

void ClientBase::Fail(Fault fault, std::string_view pattern, std::string detail) {
    if (failure_.empty()) {
        failure_ = FormatText(pattern, {displayName_, detail});
        fault_ = fault;
        failureDetail_ = std::move(detail);
    }
    searching_ = false;
    if (process_) process_->Stop(Process::kQuickStop);
}

void ClientBase::FailGone() {
    // The output ended or the input closed: the process is ending; wait for its word.
    if (process_) process_->Stop(Process::kQuickStop);
    const int status = process_ ? process_->ExitStatus() : -1;
    if (status < 0 && status != -1) {
        Fail(Fault::Killed, kEngineKilledPattern, std::to_string(-status));
    } else {
        Fail(Fault::Exited, kEngineExitedPattern, std::to_string(status));
    }
}

bool ClientBase::Send(std::string_view line) {
    if (Failed() || !process_) return false;
    if (process_->Send(line)) return true;
    FailGone();
    return false;
}

ClientBase::Got ClientBase::Next(std::string* line, std::chrono::milliseconds timeout) {
    if (Failed() || !process_) return Got::Failed;
    const Process::Read read = process_->ReadLine(line, timeout);
    if (read == Process::Read::Ended) {
        FailGone();
        return Got::Failed;
    }
    if (process_->BytesRead() - floodStart_ > kMaxOutputPerSearch) {
        Fail(Fault::Flood, kEngineFloodPattern);
        return Got::Failed;
    }
    if (read == Process::Read::Line) return Got::Line;
    // Something the engine started may hold its output open after the engine itself has ended.
    if (!process_->Running()) {
        FailGone();
        return Got::Failed;
    }
    return Got::Timeout;
}

void ClientBase::ResetFloodCount() {
    if (process_) floodStart_ = process_->BytesRead();
}

bool ClientBase::TakePosition(std::string_view startFen, const std::vector<std::string>& moves) {
    std::string error;
    // A position changed under a running search would make its answer a move of another one.
    return !Failed() && !searching_ && moves_.SetPosition(startFen, moves, &error);
}

bool ClientBase::CheckBestMove(std::string_view text, std::string_view ponder, BestMove* best) {
    std::string move;
    switch (moves_.ReadMove(text, &move)) {
        case MoveVerdict::Legal:
            break;
        case MoveVerdict::Illegal:
            Fail(Fault::IllegalMove, kEngineIllegalMovePattern, ShownEngineText(text));
            return false;
        case MoveVerdict::Malformed:
            Fail(Fault::Nonsense, kEngineNonsensePattern, ShownEngineText(text));
            return false;
    }
    identity_.ranks = moves_.GetRanks();
    *best = BestMove{};
    best->move = move;
    std::string reply;
    if (!ponder.empty() && moves_.ReadReply(move, ponder, &reply) == MoveVerdict::Legal)
        best->ponder = reply;
    return true;
}

const EngineOption* ClientBase::FindOption(std::string_view name) const {
    for (const EngineOption& option : identity_.options)
        if (SameWord(option.name, name)) return &option;
    return nullptr;
}

bool ClientBase::ApplySetupOptions() {
    for (const auto& [name, value] : setup_.options) {
        if (FindOption(name) == nullptr) continue;  // the engine does not (or no longer) have it
        SetOption(name, value);
        if (Failed()) return false;
    }
    return true;
}

}  // namespace xq::host
