#include "host/engineclient.h"

#include "host/uciclient.h"
#include "host/xboardclient.h"
#include "platform/texts.h"

namespace xq::host {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kProtocolNames[] = {"auto", "uci", "ucci", "xboard"};
constexpr std::string_view kRanksNames[] = {"auto", "0-9", "1-10"};

// The UCI or UCCI client after its handshake, or the process back when the engine does not
// speak it; null in `*client` and the reason in `*error` when the engine failed.
std::unique_ptr<Process> TryUci(std::unique_ptr<Process> process, const EngineSetup& setup,
                                Protocol protocol, std::chrono::milliseconds probe,
                                std::chrono::milliseconds handshake,
                                std::unique_ptr<EngineClient>* client, std::string* error) {
    auto uci = std::make_unique<UciClient>(std::move(process), setup, protocol);
    const ClientBase::Handshake shaken = uci->Shake(probe, handshake);
    if (shaken == ClientBase::Handshake::OtherProtocol) return uci->ReleaseProcess();
    if (shaken == ClientBase::Handshake::Done) uci->Prepare(EngineClient::kReadyTime);
    if (uci->Failed()) {
        *error = uci->Failure();
        return nullptr;
    }
    *client = std::move(uci);
    return nullptr;
}

std::unique_ptr<Process> TryXboard(std::unique_ptr<Process> process, const EngineSetup& setup,
                                   std::chrono::milliseconds probe,
                                   std::chrono::milliseconds handshake,
                                   std::unique_ptr<EngineClient>* client, std::string* error) {
    auto xboard = std::make_unique<XboardClient>(std::move(process), setup);
    const ClientBase::Handshake shaken = xboard->Shake(probe, handshake);
    if (shaken == ClientBase::Handshake::OtherProtocol) return xboard->ReleaseProcess();
    if (shaken == ClientBase::Handshake::Done) xboard->Prepare(EngineClient::kReadyTime);
    if (xboard->Failed()) {
        *error = xboard->Failure();
        return nullptr;
    }
    *client = std::move(xboard);
    return nullptr;
}

std::string ShownName(const EngineSetup& setup) {
    if (!setup.name.empty()) return setup.name;
    const size_t slash = setup.command.program.rfind('/');
    return slash == std::string::npos ? setup.command.program
                                      : setup.command.program.substr(slash + 1);
}

}  // namespace

std::string_view ProtocolName(Protocol protocol) {
    return kProtocolNames[static_cast<size_t>(protocol)];
}

bool ParseProtocol(std::string_view word, Protocol* protocol) {
    for (size_t i = 0; i < std::size(kProtocolNames); ++i) {
        if (word == kProtocolNames[i]) {
            *protocol = static_cast<Protocol>(i);
            return true;
        }
    }
    return false;
}

std::string_view RanksName(Ranks ranks) {
    return kRanksNames[static_cast<size_t>(ranks)];
}

bool ParseRanks(std::string_view word, Ranks* ranks) {
    for (size_t i = 0; i < std::size(kRanksNames); ++i) {
        if (word == kRanksNames[i]) {
            *ranks = static_cast<Ranks>(i);
            return true;
        }
    }
    return false;
}

std::unique_ptr<EngineClient> EngineClient::Start(const EngineSetup& setup, std::string* error,
                                                  std::chrono::milliseconds handshake) {
    auto process = std::make_unique<Process>();
    if (!process->Start(setup.command, error)) return nullptr;
    const Protocol asked = setup.protocol;
    // Finding the protocol out, each gets a share of the time until the engine answers it.
    const auto probe = asked == Protocol::Auto ? handshake / 3 : handshake;
    std::unique_ptr<EngineClient> client;
    error->clear();
    const Protocol order[] = {Protocol::Uci, Protocol::Ucci, Protocol::Xboard};
    for (Protocol protocol : order) {
        if (asked != Protocol::Auto && asked != protocol) continue;
        process =
            protocol == Protocol::Xboard
                ? TryXboard(std::move(process), setup, probe, handshake, &client, error)
                : TryUci(std::move(process), setup, protocol, probe, handshake, &client, error);
        if (client) return client;
        if (!process) return nullptr;  // failed, with the reason in `error`
    }
    // Nobody answered: with the protocol given, that command; with Auto, any of them.
    process->Stop(Process::kQuickStop);
    *error = asked == Protocol::Auto
                 ? FormatText(kEngineNoProtocolPattern, {ShownName(setup)})
                 : FormatText(kEngineNoAnswerPattern,
                              {ShownName(setup),
                               asked == Protocol::Xboard ? "protover 2" : ProtocolName(asked)});
    return nullptr;
}

bool WaitForBestMove(EngineClient& engine, BestMove* best, std::chrono::milliseconds patience) {
    const auto end = Clock::now() + patience;
    for (;;) {
        if (engine.Failed()) return false;
        if (!engine.Searching()) {
            // Nothing to wait for: the search had already ended.
            return false;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        if (left.count() <= 0) break;
        SearchInfo info;
        const Event event = engine.Poll(left, &info, best);
        if (event == Event::BestMove) return true;
        if (event == Event::Failed) return false;
    }
    engine.failure_ = FormatText(kEngineNotStoppedPattern, {engine.DisplayName()});
    engine.fault_ = Fault::NotStopped;
    engine.searching_ = false;
    engine.Quit();
    return false;
}

}  // namespace xq::host
