#include "engine/liveanalysis.h"

#include <utility>

#include "platform/threadpriority.h"

namespace xq {

LiveAnalysis::LiveAnalysis(Listener listener, int lines, size_t hashMegabytes)
    : listener_(std::move(listener)), lines_(lines), engine_(hashMegabytes, 1) {}

LiveAnalysis::~LiveAnalysis() {
    Stop();
}

uint64_t LiveAnalysis::Start(const Position& position, std::vector<MoveRecord> history) {
    Stop();
    stop_ = false;
    searching_ = true;
    ++run_;
    thread_ = std::thread(&LiveAnalysis::Search, this, run_, position, std::move(history));
    return run_;
}

// The stop flag is also read through the search's poll: a Stop that comes before the engine has
// begun to search would otherwise be forgotten, and the join would wait for the deepest iteration.
void LiveAnalysis::Stop() {
    stop_ = true;
    engine_.Stop();
    if (thread_.joinable()) thread_.join();
    searching_ = false;
}

void LiveAnalysis::Search(uint64_t run, Position position, std::vector<MoveRecord> history) {
    LowerThisThreadsPriority();
    engine_.SetPosition(position, history);
    master::Limits limits;
    limits.multiPV = lines_;
    limits.poll = [this] { return stop_.load(std::memory_order_relaxed); };
    engine_.Search(limits, [this, run](const master::SearchReport& report) {
        if (listener_) listener_(run, report);
    });
    searching_ = false;
}

}  // namespace xq
