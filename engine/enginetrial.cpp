#include "engine/enginetrial.h"

#include <filesystem>

#include "engine/externalthink.h"
#include "platform/texts.h"

namespace xq {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kTrialPollSlice{10};

}  // namespace

bool ProbeEngine(host::EngineSetup* setup, host::EngineIdentity* identity, std::string* error) {
    std::unique_ptr<host::EngineClient> engine = host::EngineClient::Start(*setup, error);
    if (!engine) return false;
    *identity = engine->Identity();
    engine->Quit();
    setup->protocol = identity->protocol;
    if (setup->ranks == host::Ranks::Auto) setup->ranks = identity->ranks;
    if (setup->name.empty()) {
        setup->name = !identity->name.empty()
                          ? identity->name
                          : std::filesystem::path(setup->command.program).filename().string();
    }
    return true;
}

std::string UniqueEngineName(const std::vector<host::EngineSetup>& engines,
                             const std::string& wanted) {
    const auto taken = [&engines](const std::string& name) {
        for (const host::EngineSetup& engine : engines)
            if (engine.name == name) return true;
        return false;
    };
    std::string name = wanted;
    for (int number = 2; taken(name); ++number)
        name = wanted + " (" + std::to_string(number) + ")";
    return name;
}

EngineTrial TryEngine(const host::EngineSetup& setup, const std::function<void()>& pump,
                      std::chrono::milliseconds moveTime) {
    EngineTrial trial;
    std::unique_ptr<host::EngineClient> engine = host::EngineClient::Start(setup, &trial.error);
    if (!engine) return trial;
    trial.identity = engine->Identity();
    host::GoLimits limits;
    limits.moveTime = moveTime.count();
    const Clock::time_point start = Clock::now();
    const Clock::time_point deadline = start + moveTime + engineLateMargin;
    bool asked = engine->NewGame() && engine->SetPosition("", {}) && engine->Go(limits);
    host::SearchInfo info;
    host::BestMove best;
    host::Event event = host::Event::None;
    while (asked && event != host::Event::BestMove && event != host::Event::Failed) {
        event = engine->Poll(kTrialPollSlice, &info, &best);
        if (pump) pump();
        if (event == host::Event::None && Clock::now() > deadline) {
            asked = engine->Stop() && host::WaitForBestMove(*engine, &best);
            break;
        }
    }
    trial.took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    if (!asked || event == host::Event::Failed || engine->Failed()) {
        trial.error = engine->Failure();
    } else if (best.move.empty()) {
        const std::string said = best.claim.empty() ? std::string("(none)") : best.claim;
        trial.error = FormatText(kAddedEngineNoMovePattern, {engine->DisplayName(), said});
    } else {
        trial.move = best.move;
    }
    engine->Quit();
    return trial;
}

}  // namespace xq
