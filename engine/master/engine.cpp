#include "engine/master/engine.h"

#include <algorithm>
#include <thread>

#include "engine/master/tt.h"
#include "engine/master/worker.h"

namespace xq::master {

struct Engine::Impl {
    TranspositionTable table;
    std::vector<std::unique_ptr<Worker>> workers;
    SharedSearch shared;
    Position position{};
    std::vector<MoveRecord> history;
    uint64_t seed = 0;
};

Engine::Engine(size_t hashMegabytes, int threads) : impl_(std::make_unique<Impl>()) {
    SetHashSize(hashMegabytes);
    SetThreads(threads);
    SetPosition(gamePosition, {});
}

Engine::~Engine() = default;

void Engine::SetHashSize(size_t megabytes) {
    impl_->table.Resize(megabytes);
}

void Engine::SetThreads(int threads) {
    threads = std::clamp(threads, 1, 64);
    auto& workers = impl_->workers;
    while (static_cast<int>(workers.size()) > threads)
        workers.pop_back();
    while (static_cast<int>(workers.size()) < threads) {
        workers.push_back(std::make_unique<Worker>());
        workers.back()->SetSeed(impl_->seed);
    }
}

void Engine::SetSeed(uint64_t seed) {
    impl_->seed = seed;
    for (auto& worker : impl_->workers)
        worker->SetSeed(seed);
}

void Engine::NewGame() {
    impl_->table.Clear();
    for (auto& worker : impl_->workers)
        worker->Clear();
}

void Engine::SetPosition(const Position& current, std::span<const MoveRecord> history) {
    impl_->position = current;
    // Only the trailing part can matter: repetitions end at a capture, and the sixty-move rule
    // at 120 quiet plies.
    const size_t keep = std::min(history.size(), static_cast<size_t>(kMaxHistory));
    impl_->history.assign(history.end() - static_cast<std::ptrdiff_t>(keep), history.end());
}

SearchResult Engine::Search(const Limits& limits,
                            const std::function<void(const SearchReport&)>& onReport) {
    Impl& impl = *impl_;
    SharedSearch& shared = impl.shared;
    shared.table = &impl.table;
    shared.stop.store(false);
    shared.nodes.store(0);
    shared.limits = &limits;
    shared.started = std::chrono::steady_clock::now();
    impl.table.NewSearch();
    for (auto& worker : impl.workers) {
        worker->SetPosition(impl.position, impl.history.data(),
                            static_cast<int>(impl.history.size()));
    }

    std::vector<std::thread> helpers;
    for (size_t i = 1; i < impl.workers.size(); ++i) {
        Worker* worker = impl.workers[i].get();
        helpers.emplace_back(
            [worker, &shared, i] { worker->IterativeDeepening(shared, static_cast<int>(i), {}); });
    }
    Worker& main = *impl.workers[0];
    main.IterativeDeepening(shared, 0, onReport);
    shared.stop.store(true);
    for (std::thread& helper : helpers)
        helper.join();

    SearchResult result;
    result.nodes = 0;
    for (auto& worker : impl.workers)
        result.nodes += worker->Nodes();
    result.depth = main.CompletedDepth();
    if (main.RootMoveCount() == 0) {
        result.score = -kMate;
        return result;
    }
    const RootMove& root = main.Root(0);
    result.best = root.move;
    result.score = root.score > -kMate ? root.score : root.previousScore;
    if (result.score <= -kMate - 1) result.score = 0;
    result.pv.assign(root.pv, root.pv + root.pvLength);
    if (root.pvLength > 1) result.ponder = root.pv[1];
    return result;
}

void Engine::Stop() {
    impl_->shared.stop.store(true);
}

}  // namespace xq::master
