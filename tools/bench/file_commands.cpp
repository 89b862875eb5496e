// xq-bench commands on game files: writing a position through the game's save and reading any
// file through the game's restore with all its checks.
#include <cstdio>
#include <string>

#include "platform/display.h"
#include "records/gamefile.h"
#include "rules/fen.h"
#include "rules/game.h"

#include "tools/bench/bench.h"

namespace xq::bench {

namespace {

// Message boxes go to the error output.
class BoxPrinter : public Display {
  public:
    void MessageBox(std::string_view text, std::string_view caption, BoxIcon) override {
        std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                     static_cast<int>(text.size()), text.data());
    }
};

int SaveCommand(const std::vector<std::string>& args) {
    std::string fen(kStartFen);
    size_t next = 0;
    if (args.size() == 3 && args[0] == "--fen") {
        fen = args[1];
        next = 2;
    }
    // The menu's save quietly does nothing for an empty name; the tool must not report that as
    // saved.
    if (args.size() != next + 1 || args[next].empty()) return Usage();
    if (!SetUp(fen)) return 1;
    const std::string_view report = SaveGame(args[next]);
    if (!report.empty()) {
        std::printf("failed %.*s\n", static_cast<int>(report.size()), report.data());
        return 1;
    }
    std::printf("saved %s\n", WriteFen().c_str());
    return 0;
}

int LoadCommand(const std::vector<std::string>& args) {
    if (args.size() != 1) return Usage();
    NewGame();
    const std::string_view report = RestoreGame(args[0]);
    if (!report.empty()) {
        std::printf("refused %.*s\n", static_cast<int>(report.size()), report.data());
        return 1;
    }
    std::printf("accepted %s\n", WriteFen().c_str());
    return 0;
}

}  // namespace

int RunGameFile(const std::vector<std::string>& args) {
    if (args.empty() || (args[0] != "save" && args[0] != "load")) return Usage();
    BoxPrinter printer;
    SetDisplay(&printer);
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    const int result = args[0] == "save" ? SaveCommand(rest) : LoadCommand(rest);
    SetDisplay(nullptr);
    return result;
}

}  // namespace xq::bench
