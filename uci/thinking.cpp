// The session's search: the classic engine under the game's think driver with the protocol's time
// limits, the commands that arrive meanwhile, and the lines that report it.
#include <cstdlib>

#include "engine/book.h"
#include "engine/search.h"
#include "engine/think.h"
#include "platform/messages.h"
#include "rules/board.h"
#include "rules/fen.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "rules/record.h"
#include "uci/output.h"
#include "uci/session.h"

namespace xq::uci {

Session* Session::active_ = nullptr;

namespace {

// A score this far from kMateScore is a mate found by the search (the line is at most kMaxPly
// plies long).
constexpr int32_t kMateBound = kMateScore - kMatePly * (kMaxPly + 1);

std::string ScoreText(Protocol protocol, int32_t score) {
    if (protocol == Protocol::Uci && std::abs(score) >= kMateBound) {
        const int plies = (kMateScore - std::abs(score) + kMatePly / 2) / kMatePly;
        const int moves = score > 0 ? (plies + 1) / 2 : -(plies / 2);
        return "mate " + std::to_string(moves);
    }
    const std::string value = std::to_string(score * 100 / 256);
    return protocol == Protocol::Uci ? "cp " + value : value;
}

// The legal start of `line` from the current position.
std::vector<MoveRecord> LegalLine(const MoveRecord* line, int length) {
    std::vector<MoveRecord> legal;
    for (int k = 0; k < length && IsLegalMove(line[k]); ++k) {
        legal.push_back(line[k]);
        MakeMove(line[k], false);
        SwapSides();
    }
    for (auto it = legal.rbegin(); it != legal.rend(); ++it) {
        SwapSides();
        MakeMove(*it, true);
    }
    return legal;
}

uint64_t NodesPerSecond(std::chrono::steady_clock::time_point since) {
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
                        std::chrono::steady_clock::now() - since)
                        .count();
    return us > 0 ? nodeCount * 1'000'000 / static_cast<uint64_t>(us) : 0;
}

}  // namespace

int64_t Session::ElapsedMs(Clock::time_point since) const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count();
}

void Session::Think() {
    // 1. The clock starts when the command arrives.
    searchStart_ = budgetStart_ = Clock::now();
    budget_ = ComputeTimeBudget(go_, sideToMove);
    pondering_ = go_.ponder;
    stopRequested_ = false;
    bestLine[0] = NullMove;
    active_ = this;
    // 2. A library move or a search, unless there is nothing to play.
    if (FirstLegalMove(&RootMoveExcluded).piece != Empty && !PlayFromLibrary()) Search();
    // 3. An infinite or pondering search answers only when asked to.
    while ((go_.infinite || pondering_) && !stopRequested_ && !quitRequested_)
        ReadWhileThinking(true);
    if (!quitRequested_) ReportBestMove();
    active_ = nullptr;
}

bool Session::PlayFromLibrary() {
    if (!ownBook_ || go_.infinite || !banned_.empty() || !allowed_.empty()) return false;
    FindLibraryPosition();
    if (libraryPos <= 0) return false;
    recordTop = 0;
    ChooseLibraryMove();
    recordTop = -1;
    if (!IsLegalMove(bestLine[0])) {
        bestLine[0] = NullMove;
        return false;
    }
    SendLine("info string opening library move " + FormatIccs(bestLine[0]));
    return true;
}

void Session::Search() {
    if (useMaster_) {
        SearchWithMaster();
        return;
    }
    // The driver's stopwatch counts whole seconds; the protocol's limits are kept in
    // milliseconds by the pull below, so the driver itself is told never to stop on time.
    levelKind = kLevelUnlimited;
    timedThinking = 1;
    pondering = 0;
    noTimeLimit = 1;
    timeLimit = budget_.limited ? static_cast<double>(budget_.hard) / 1000.0 : 1e6;
    rootMoveExcluded = banned_.empty() && allowed_.empty() ? nullptr : &RootMoveExcluded;
    iterationHook = &IterationDone;
    SetNativeEventPull(&PullNativeEvents);

    const int depthLimit = go_.depth > 0 ? go_.depth : kLineLength;
    recordTop = 0;
    ThinkAndChoose(depthLimit);
    // Every legal move repeats a position: the engine still moves, choosing among them.
    if (bestLine[0].piece == Empty && FirstLegalMove(&RootMoveExcluded).piece != Empty) {
        SendLine("info string every legal move repeats a position; they are searched too");
        repetitionAllowedAtRoot = 1;
        ThinkAndChoose(depthLimit);
        repetitionAllowedAtRoot = 0;
    }
    recordTop = -1;

    SetNativeEventPull(nullptr);
    iterationHook = nullptr;
    rootMoveExcluded = nullptr;
    noTimeLimit = 0;
    timedThinking = 0;
}

void Session::ReadWhileThinking(bool wait) {
    std::string line;
    bool overlong = false;
    if (wait) {
        if (!input_.Take(&line, &overlong)) {
            quitRequested_ = true;  // nobody is left to ask for the move
            return;
        }
        ActWhileThinking(line, overlong);
    }
    while (input_.TryTake(&line, &overlong))
        ActWhileThinking(line, overlong);
}

void Session::ActWhileThinking(const std::string& line, bool overlong) {
    const size_t start = line.find_first_not_of(" \t");
    const std::string_view text =
        start == std::string::npos ? std::string_view() : std::string_view(line).substr(start);
    const std::string_view command = text.substr(0, text.find_first_of(" \t"));
    if (overlong) {
        deferred_.emplace_back(line, overlong);
    } else if (command == "stop") {
        stopRequested_ = true;
    } else if (command == "ponderhit") {
        if (pondering_) budgetStart_ = Clock::now();
        pondering_ = false;
    } else if (command == "isready") {
        SendLine("readyok");
    } else if (command == "quit") {
        quitRequested_ = true;
    } else if (!command.empty()) {
        deferred_.emplace_back(line, overlong);
    }
}

bool Session::PastHardLimit() const {
    return budget_.limited && !pondering_ && ElapsedMs(budgetStart_) >= budget_.hard;
}

// Installed as the toolkit's native pull while searching: the pump calls it at its throttle.
void Session::PullNativeEvents() {
    Session* session = active_;
    if (!session) return;
    session->ReadWhileThinking(false);
    if (session->stopRequested_ || session->quitRequested_ || session->PastHardLimit())
        stopSearch = 1;
}

void Session::IterationDone() {
    Session* session = active_;
    if (!session) return;
    session->ReportIteration();
    const bool softLimitReached =
        session->budget_.limited && !session->pondering_ &&
        session->ElapsedMs(session->budgetStart_) >= session->budget_.soft;
    if (session->stopRequested_ || session->quitRequested_ || softLimitReached) stopSearch = 1;
}

bool Session::RootMoveExcluded(const MoveRecord& move) {
    Session* session = active_;
    if (!session) return false;
    auto listed = [&move](const std::vector<MoveRecord>& moves) {
        for (const MoveRecord& listedMove : moves) {
            if (listedMove.from == move.from && listedMove.to == move.to) return true;
        }
        return false;
    };
    if (listed(session->banned_)) return true;
    return !session->allowed_.empty() && !listed(session->allowed_);
}

void Session::ReportIteration() {
    const std::vector<MoveRecord> line = LegalLine(bestLine, kLineLength);
    if (line.empty()) return;
    const int64_t ms = ElapsedMs(searchStart_);
    std::string text = "info depth " + std::to_string(iterationDepth) + " score " +
                       ScoreText(protocol_, searchScore);
    if (protocol_ == Protocol::Uci) {
        text += " nodes " + std::to_string(nodeCount);
        text += " nps " + std::to_string(NodesPerSecond(searchStart_));
        text += " time " + std::to_string(ms);
    } else {
        text += " time " + std::to_string(ms) + " nodes " + std::to_string(nodeCount);
    }
    text += " pv";
    for (const MoveRecord& move : line)
        text += " " + FormatIccs(move);
    SendLine(text);
}

void Session::ReportBestMove() {
    MoveRecord best = bestLine[0];
    MoveRecord ponder = NullMove;
    if (IsLegalMove(best) && !RootMoveExcluded(best)) {
        const std::vector<MoveRecord> line = LegalLine(bestLine, 2);
        if (line.size() == 2) ponder = line[1];
    } else {
        best = FirstLegalMove(&RootMoveExcluded);
        if (best.piece == Empty) {
            Refuse(
                "no legal move: the side to move is mated or stalemated (or every move is "
                "banned)");
            SendLine(protocol_ == Protocol::Uci ? "bestmove (none)" : "nobestmove");
            return;
        }
        Refuse(
            "the search kept no move (each one repeats a position); the first legal move is "
            "played");
    }
    std::string text = "bestmove " + FormatIccs(best);
    if (ponder.piece != Empty) text += " ponder " + FormatIccs(ponder);
    SendLine(text);
}

}  // namespace xq::uci
