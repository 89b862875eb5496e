#include "engine/master/engine.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <string>

#include "engine/master/tt.h"
#include "engine/master/worker.h"
#include "platform/check.h"
#include "rules/fen.h"

namespace xq::master {

namespace {

// The helper threads of Lazy SMP, made once per SetThreads and kept waiting between searches, so
// that a search creates no thread.
class HelperPool {
  public:
    ~HelperPool() { Resize({}, nullptr); }

    // One thread per worker after the first (the caller's thread searches with that one).
    void Resize(const std::vector<std::unique_ptr<Worker>>& workers, SharedSearch* shared) {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        wake_.notify_all();
        for (std::thread& thread : threads_)
            thread.join();
        threads_.clear();
        quit_ = false;
        for (size_t i = 1; i < workers.size(); ++i) {
            Worker* worker = workers[i].get();
            threads_.emplace_back([this, worker, shared, i] { Run(*worker, *shared, i); });
        }
    }

    void StartSearch() {
        {
            std::lock_guard lock(mutex_);
            ++generation_;
            running_ = static_cast<int>(threads_.size());
        }
        wake_.notify_all();
    }

    void WaitForSearch() {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [this] { return running_ == 0; });
    }

  private:
    void Run(Worker& worker, SharedSearch& shared, size_t id) {
        uint64_t seen = 0;
        for (;;) {
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] { return quit_ || generation_ != seen; });
                if (quit_) return;
                seen = generation_;
            }
            worker.IterativeDeepening(shared, static_cast<int>(id), {});
            std::lock_guard lock(mutex_);
            if (--running_ == 0) done_.notify_all();
        }
    }

    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    uint64_t generation_ = 0;
    int running_ = 0;
    bool quit_ = false;
};

}  // namespace

struct Engine::Impl {
    TranspositionTable table;
    std::vector<std::unique_ptr<Worker>> workers;
    SharedSearch shared;
    Position position{};
    std::vector<MoveRecord> history;
    uint64_t seed = 0;
    HelperPool helpers;  // last: its threads go before the workers they search with
};

// The engine starts from the opening array of its own, never from the game's position: the game
// analysis and lanchuan-engine build engines on threads of their own while the window's thread
// may be changing that position, and a copy of it read there could be torn.
Engine::Engine(size_t hashMegabytes, int threads) : impl_(std::make_unique<Impl>()) {
    SetHashSize(hashMegabytes);
    SetThreads(threads);
    Position opening{};
    std::string error;
    const bool read = ReadFen(opening, kStartFen, &error);
    XQ_ASSERT(read);  // the program's own text of the opening array
    SetPosition(opening, {});
}

Engine::~Engine() = default;

void Engine::SetHashSize(size_t megabytes) {
    impl_->table.Resize(megabytes);
}

void Engine::SetThreads(int threads) {
    threads = std::clamp(threads, 1, 64);
    auto& workers = impl_->workers;
    if (static_cast<int>(workers.size()) == threads) return;
    impl_->helpers.Resize({}, nullptr);
    while (static_cast<int>(workers.size()) > threads)
        workers.pop_back();
    while (static_cast<int>(workers.size()) < threads) {
        workers.push_back(std::make_unique<Worker>());
        workers.back()->SetSeed(impl_->seed);
    }
    impl_->helpers.Resize(workers, &impl_->shared);
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

    impl.helpers.StartSearch();
    Worker& main = *impl.workers[0];
    main.IterativeDeepening(shared, 0, onReport);
    shared.stop.store(true);
    impl.helpers.WaitForSearch();

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
    result.pv.assign(root.pv, root.pv + root.pvLength);
    result.score =
        result.score <= -kMate - 1 ? 0 : ShownScore(impl.position, result.score, result.pv);
    if (root.pvLength > 1) result.ponder = root.pv[1];
    result.judged = main.Judged(&result.judgedScore, &result.judgedBestScore);
    return result;
}

void Engine::Stop() {
    impl_->shared.stop.store(true);
}

}  // namespace xq::master
