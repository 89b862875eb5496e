// Command-line benchmark and inspection tool for the rules and the engine.
//
//   xq-bench perft DEPTH [FEN]         one line per depth: perft <depth> <nodes> <milliseconds>
//   xq-bench divide DEPTH [FEN]        <iccs> <nodes> for every legal root move
//   xq-bench moves [--fen FEN] [MOVE...]
//                                      plays the ICCS moves, then lists the generated moves
//   xq-bench play [--fen FEN] MOVE...  enters the ICCS moves as the user would, one line each:
//                                      <iccs> <notation or -> <message line or ->, then
//                                      result <game result or ->
//   xq-bench queue                     nanoseconds of the empty-queue test and of a post + peek
//   xq-bench search DEPTH [FEN] [--seed N] [--line]
//                                      one line per iteration:
//                                      search <depth> <nodes> <milliseconds> <score> <iccs move>
//                                      (--line appends the best line)
//   xq-bench search-suite [DEPTH] [--seed N]
//                                      the same for a fixed set of positions, each at its own
//                                      depth unless DEPTH is given, with node rates
//   xq-bench master DEPTH [FEN] [--threads N] [--hash MB] [--line]
//                                      the 大师 engine, one line per iteration:
//                                      master <depth> <nodes> <milliseconds> <score> <iccs move>
//   xq-bench master-suite [DEPTH] [--threads N] [--hash MB]
//                                      the 大师 engine on the search suite to DEPTH (10 by
//                                      default): nodes, time to depth and node rate
//   xq-bench master-uci                the 大师 engine behind the UCI commands of a match
//                                      runner (tools/xq-match.py --engine)
//   xq-bench demo GAMES [--depth D] [--seed N]
//                                      the engine plays GAMES demonstration games against itself
//                                      at the fixed-depth level: game <n> <plies> <ending>, then
//                                      demo <games> <plies> consistent (exit 1 when inconsistent)
//   xq-bench pump [DEPTH] [--rounds N] node rates of the benchmark positions with the message
//                                      pump stubbed out and real over an empty queue
//   xq-bench stop-latency [SAMPLES]    milliseconds from a posted "停止" to the search's return
//   xq-bench pgn import FILE [--game N]
//                                      game N (default 1): accepted <plies> <final FEN>, or
//                                      refused <reason>
//   xq-bench pgn list FILE             one line a game: number, result, plies, Event, Red,
//                                      Black (tab-separated), or number, refused, reason
//   xq-bench pgn convert FILE [--game N] [--chinese]
//                                      game N written again as "导出棋谱" writes it (ICCS unless
//                                      --chinese)
//   xq-bench pgn replay FILE           one line a game: number, start FEN, final FEN, the moves
//                                      in ICCS (tab-separated), for checks by other programs
//   xq-bench pgn export [--fen FEN] [--chinese] MOVE...
//                                      the moves as a PGN game on standard output
//   xq-bench soak ACTIONS [--seed N] [--depth D]
//                                      random user actions on the core (moves, take-backs,
//                                      replays, hints, passes, stops, new games, set-ups), the
//                                      core checked after each (exit 1 when inconsistent)
//   xq-bench gamefile save [--fen FEN] FILE
//                                      saves the position (the opening array by default) with
//                                      the built-in settings as a game file: saved <FEN>
//   xq-bench gamefile load FILE        restores a game file with all its checks:
//                                      accepted <FEN> or refused <message>
//   xq-bench analyse FILE [--movetime MS] [--game N] [--depth D]
//                                      game N (default 1) of a PGN file analysed by the 大师
//                                      engine at MS a position (1000) or to depth D, one line a
//                                      move: <ply> <iccs> <value> <best iccs> <mark or ->
//                                      <Pawns lost>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/startup.h"
#include "rules/attacks.h"
#include "tools/bench/bench.h"

namespace xq::bench {

int Usage() {
    std::fprintf(stderr,
                 "usage: xq-bench perft DEPTH [FEN]\n"
                 "       xq-bench divide DEPTH [FEN]\n"
                 "       xq-bench moves [--fen FEN] [MOVE...]\n"
                 "       xq-bench play [--fen FEN] MOVE...\n"
                 "       xq-bench queue\n"
                 "       xq-bench search DEPTH [FEN] [--seed N] [--line]\n"
                 "       xq-bench search-suite [DEPTH] [--seed N]\n"
                 "       xq-bench master DEPTH [FEN] [--threads N] [--hash MB] [--line]\n"
                 "       xq-bench master-suite [DEPTH] [--threads N] [--hash MB]\n"
                 "       xq-bench master-uci\n"
                 "       xq-bench demo GAMES [--depth D] [--seed N]\n"
                 "       xq-bench pump [DEPTH] [--rounds N]\n"
                 "       xq-bench stop-latency [SAMPLES]\n"
                 "       xq-bench soak ACTIONS [--seed N] [--depth D]\n"
                 "       xq-bench pgn import FILE [--game N]\n"
                 "       xq-bench pgn list FILE\n"
                 "       xq-bench pgn replay FILE\n"
                 "       xq-bench pgn convert FILE [--game N] [--chinese]\n"
                 "       xq-bench pgn export [--fen FEN] [--chinese] MOVE...\n"
                 "       xq-bench gamefile save [--fen FEN] FILE\n"
                 "       xq-bench gamefile load FILE\n"
                 "       xq-bench analyse FILE [--movetime MS] [--game N] [--depth D]\n");
    return 2;
}

}  // namespace xq::bench

int main(int argc, char** argv) {
    using namespace xq;
    using namespace xq::bench;
    if (argc < 2) return Usage();
    InitAttackTable();
    InitEngine();
    std::string command = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "perft") return RunPerft(args);
    if (command == "divide") return RunDivide(args);
    if (command == "moves") return RunMoves(args);
    if (command == "play") return RunPlay(args);
    if (command == "queue") return RunQueue(args);
    if (command == "search") return RunSearch(args);
    if (command == "search-suite") return RunSearchSuite(args);
    if (command == "master") return RunMaster(args);
    if (command == "master-suite") return RunMasterSuite(args);
    if (command == "master-uci") return RunMasterUci(args);
    if (command == "demo") return RunDemo(args);
    if (command == "pump") return RunPump(args);
    if (command == "stop-latency") return RunStopLatency(args);
    if (command == "soak") return RunSoak(args);
    if (command == "pgn") return RunPgn(args);
    if (command == "gamefile") return RunGameFile(args);
    if (command == "analyse") return RunAnalyse(args);
    return Usage();
}
