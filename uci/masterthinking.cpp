// The session's search with the 大师 engine: the protocol's limits through the engine's poll, and
// one info line per completed iteration of each reported line.
#include <algorithm>
#include <cstdlib>

#include "engine/masterthink.h"
#include "engine/search.h"
#include "rules/board.h"
#include "rules/fen.h"
#include "rules/legality.h"
#include "uci/output.h"
#include "uci/session.h"

namespace xq::uci {

namespace {

std::string MasterScoreText(Protocol protocol, int32_t score) {
    if (protocol == Protocol::Uci && std::abs(score) > master::kMateBound) {
        const int plies = master::kMate - std::abs(score);
        const int moves = score > 0 ? (plies + 1) / 2 : -(plies / 2);
        return "mate " + std::to_string(moves);
    }
    const std::string value = std::to_string(score);
    return protocol == Protocol::Uci ? "cp " + value : value;
}

// The best line of the search where ReportBestMove reads it.
void PublishBestLine(const std::vector<MoveRecord>& pv) {
    const std::vector<MoveRecord> line = LegalStart(pv, kLineLength - 1);
    std::copy(line.begin(), line.end(), bestLine);
    bestLine[line.size()] = NullMove;
}

}  // namespace

void Session::SearchWithMaster() {
    masterSoftStop_ = false;
    bestLine[0] = NullMove;
    engine_.SetPosition(gamePosition, GameHistory());
    master::Limits limits;
    limits.depth = go_.depth;
    limits.multiPV = multiPV_;
    limits.searchMoves = allowed_;
    limits.bannedMoves = banned_;
    limits.poll = [this] { return MasterPoll(); };
    const master::SearchResult result = engine_.Search(
        limits, [this](const master::SearchReport& report) { ReportMasterIteration(report); });
    if (result.best.piece == Empty) return;
    std::vector<MoveRecord> line = result.pv;
    if (line.empty() || line.front().from != result.best.from ||
        line.front().to != result.best.to) {
        line = {result.best};
        if (result.ponder.piece != Empty) line.push_back(result.ponder);
    }
    PublishBestLine(line);
}

// Called by the search every few thousand nodes: the commands that have arrived are read, and the
// hard limit is judged in milliseconds.
bool Session::MasterPoll() {
    ReadWhileThinking(false);
    return masterSoftStop_ || stopRequested_ || quitRequested_ || PastHardLimit();
}

void Session::ReportMasterIteration(const master::SearchReport& report) {
    const std::vector<MoveRecord> line = LegalStart(report.pv, report.pv.size());
    if (!line.empty()) SendIterationLine(report, line);
    if (report.multiPV != 1) return;
    PublishBestLine(report.pv);
    const bool softLimitReached =
        budget_.limited && !pondering_ && ElapsedMs(budgetStart_) >= budget_.soft;
    if (softLimitReached) masterSoftStop_ = true;
}

// The fields in the classic engine's order (depth and score first), with the line's number and,
// over UCI, the selective depth.
void Session::SendIterationLine(const master::SearchReport& report,
                                const std::vector<MoveRecord>& line) {
    const int64_t ms = ElapsedMs(searchStart_);
    std::string text = "info depth " + std::to_string(report.depth) + " score " +
                       MasterScoreText(protocol_, report.score);
    if (protocol_ == Protocol::Uci) {
        const uint64_t nps =
            report.seconds > 0 ? static_cast<uint64_t>(report.nodes / report.seconds) : 0;
        text += " seldepth " + std::to_string(report.selDepth);
        text += " multipv " + std::to_string(report.multiPV);
        text += " nodes " + std::to_string(report.nodes);
        text += " nps " + std::to_string(nps);
        text += " time " + std::to_string(ms);
    } else {
        if (multiPV_ > 1) text += " multipv " + std::to_string(report.multiPV);
        text += " time " + std::to_string(ms) + " nodes " + std::to_string(report.nodes);
    }
    text += " pv";
    for (const MoveRecord& move : line)
        text += " " + FormatIccs(move);
    SendLine(text);
}

}  // namespace xq::uci
