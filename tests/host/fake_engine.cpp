// A small engine for the host tests: speaks UCI, UCCI or XBoard (the first argument), plays the
// first legal move of the rules' generator, and misbehaves as its other arguments ask:
//
//   exit-at-start  ends at once with exit code 3     exit-at-go   ends with exit code 5 at go
//   silent         never answers the handshake       no-bestmove  answers go only when stopped
//   illegal        answers a King's move of two ranks
//   malformed      answers text that is no move      flood        writes info lines without end
//   ignore-stop    keeps searching past stop (?)     immortal     ignores SIGTERM and its input's
//   end no-xiangqi     offers variants without xiangqi   variants     offers several, xiangqi among
//   them ranks-1-10     writes and reads ranks 1..10      grandchild   leaves a sleeping child
//   behind claim, resign  (XBoard) claims 1-0 or resigns instead of moving old-features   (XBoard)
//   sends its features without done=0/done=1 no-millisec    (UCCI) does not offer usemillisec: its
//   times are in seconds log=FILE       appends every line it reads to FILE, after "pid PID" (and
//   "grandchild PID")
//
// It reads its moves independently of the host's own conversion, so that a fault in one is not
// mirrored by the other.
#include <signal.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "rules/attacks.h"
#include "rules/board.h"
#include "rules/fen.h"
#include "rules/legality.h"
#include "rules/makemove.h"

namespace {

using namespace xq;

std::set<std::string> flags;
std::string logPath;
std::string protocol;
Position position{};
int rankShift = 0;  // 1 with ranks-1-10
int multiPv = 1;
bool forceMode = true;
bool searching = false;
bool postThinking = false;

bool Has(const char* flag) {
    return flags.count(flag) != 0;
}

void Say(const std::string& line) {
    std::cout << line << '\n' << std::flush;
}

void Log(const std::string& line) {
    if (logPath.empty()) return;
    std::ofstream file(logPath, std::ios::app);
    file << line << '\n';
}

std::vector<std::string> Words(const std::string& line) {
    std::istringstream stream(line);
    std::vector<std::string> words;
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

std::string MoveText(const MoveRecord& move) {
    auto square = [](Square s) {
        return std::string(1, static_cast<char>('a' + FileOf(s))) +
               std::to_string(RankOf(s) + rankShift);
    };
    return square(move.from) + square(move.to);
}

MoveRecord ReadMove(const Position& at, const std::string& text) {
    if (text.size() < 4 || text.size() > 6) return NullMove;
    size_t i = 0;
    auto square = [&](Square* s) {
        if (i >= text.size() || text[i] < 'a' || text[i] > 'i') return false;
        const int file = text[i++] - 'a';
        int rank = 0;
        size_t digits = 0;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && digits < 2) {
            rank = rank * 10 + (text[i++] - '0');
            ++digits;
        }
        rank -= rankShift;
        if (digits == 0 || rank < 0 || rank > 9) return false;
        *s = MakeSquare(rank, file);
        return true;
    };
    Square from = 0;
    Square to = 0;
    if (!square(&from) || !square(&to) || i != text.size()) return NullMove;
    Position copy = at;
    return FindLegalMove(copy, from, to);
}

void Play(Position& at, const MoveRecord& move) {
    MakeMove(at, move, false);
    SwapSides(at);
}

std::vector<MoveRecord> LegalMoves(Position at) {
    MoveList list;
    GenerateLegalMoves(at, list);
    return std::vector<MoveRecord>(list.slot + 1, list.slot + 1 + list.moveCount);
}

// "e0e2" for Red's King two ranks up: never a legal move.
std::string IllegalMove() {
    const Square king = KingSquare(position, position.sideToMove);
    MoveRecord move{king + (position.sideToMove == Red ? 32 : -32), king, 0, King, 0};
    return MoveText(move);
}

bool SetFen(const std::string& fen) {
    std::string error;
    Position read{};
    if (!ReadFen(read, fen, &error)) return false;
    position = read;
    return true;
}

// Step 1. The handshakes.
void IdentifyUci(bool ucci) {
    if (Has("silent")) return;
    Say(ucci ? "id name Fake UCCI" : "id name Fake UCI");
    Say("id author The Tests");
    if (ucci) {
        if (!Has("no-millisec")) Say("option usemillisec type check default false");
        Say("option hashsize type spin min 1 max 64 default 16");
        Say("option ponder type check default false");
        Say("option newgame type button");
        Say("option bookfiles type string default <empty>");
        Say("ucciok");
        return;
    }
    Say("option name Hash type spin default 16 min 1 max 1024");
    Say("option name Ponder type check default false");
    Say("option name MultiPV type spin default 1 min 1 max 4");
    Say("option name Play Style type combo default Normal var Solid var Normal var Risky");
    Say("option name Book File type string default <empty>");
    Say("option name Clear Hash type button");
    if (Has("no-xiangqi")) {
        Say("option name UCI_Variant type combo default chess var chess var shogi");
    } else if (Has("variants")) {
        Say("option name UCI_Variant type combo default chess var chess var xiangqi var shogi");
    } else {
        Say("option name UCI_Variant type combo default xiangqi var xiangqi");
    }
    Say("uciok");
}

void IdentifyXboard() {
    if (Has("silent")) return;
    if (!Has("old-features")) Say("feature done=0");
    Say("feature myname=\"Fake XBoard\" setboard=1 usermove=1 san=0 ping=1 sigint=0 memory=1");
    Say(Has("no-xiangqi") ? "feature variants=\"normal,shogi\""
                          : "feature variants=\"normal,xiangqi\"");
    Say("feature option=\"Resign -check 0\" option=\"Strength -spin 5 1 10\"");
    Say("feature option=\"Style -combo Solid /// *Normal /// Risky\"");
    Say("feature option=\"Book -file book.bin\" option=\"Clear Hash -button\"");
    if (!Has("old-features")) Say("feature done=1");
}

// Step 2. A search: info lines, then the answer (or not, as the flags say).
void Think() {
    const std::vector<MoveRecord> moves = LegalMoves(position);
    if (Has("flood")) {
        const std::string line = "info string " + std::string(1000, 'x');
        for (;;)
            Say(line);
    }
    if (moves.empty()) return;
    std::string reply;
    Position after = position;
    Play(after, moves[0]);
    const std::vector<MoveRecord> replies = LegalMoves(after);
    if (!replies.empty()) reply = MoveText(replies[0]);
    if (protocol == "xboard") {
        if (postThinking) Say(" 1    12      0      100 " + MoveText(moves[0]) + " " + reply);
        return;
    }
    for (int line = 1; line <= multiPv && line <= static_cast<int>(moves.size()); ++line)
        Say("info depth 1 seldepth 2 multipv " + std::to_string(line) + " score cp " +
            std::to_string(20 - line) + " nodes 100 nps 1000 time 5 pv " +
            MoveText(moves[line - 1]) + (line == 1 ? " " + reply : ""));
    Say("info depth 2 score mate 3 pv " + MoveText(moves[0]) + " " + reply + " i0i9");
    Say("info string fake thinking done");
}

void Answer() {
    searching = false;
    const std::vector<MoveRecord> moves = LegalMoves(position);
    std::string move = moves.empty() ? "" : MoveText(moves[0]);
    std::string ponder;
    if (!moves.empty()) {
        Position after = position;
        Play(after, moves[0]);
        const std::vector<MoveRecord> replies = LegalMoves(after);
        if (!replies.empty()) ponder = MoveText(replies[0]);
    }
    if (Has("illegal")) move = IllegalMove();
    if (Has("malformed")) move = "z9!";
    if (protocol == "xboard") {
        if (Has("claim")) return Say("1-0 {White mates}");
        if (Has("resign")) return Say("resign");
        if (move.empty()) return Say("resign");
        Say("move " + move);
        if (const MoveRecord played = ReadMove(position, move); played.piece != Empty)
            Play(position, played);
        return;
    }
    if (move.empty()) return Say(protocol == "ucci" ? "nobestmove" : "bestmove (none)");
    Say("bestmove " + move + (ponder.empty() ? "" : " ponder " + ponder));
}

void Go(bool untilStop) {
    if (Has("exit-at-go")) std::exit(5);
    searching = true;
    Think();
    if (!untilStop && !Has("no-bestmove")) Answer();
}

// Step 3. The commands.
void SetUciPosition(const std::vector<std::string>& words) {
    size_t i = 1;
    if (i < words.size() && words[i] == "startpos") {
        SetFen(std::string(kStartFen));
        ++i;
    } else if (i < words.size() && words[i] == "fen") {
        std::string fen;
        for (++i; i < words.size() && words[i] != "moves"; ++i)
            fen += (fen.empty() ? "" : " ") + words[i];
        if (!SetFen(fen)) return Say("info string bad fen");
    }
    if (i < words.size() && words[i] == "moves") {
        for (++i; i < words.size(); ++i) {
            const MoveRecord move = ReadMove(position, words[i]);
            if (move.piece == Empty) return Say("info string bad move " + words[i]);
            Play(position, move);
        }
    }
}

void HandleUci(const std::vector<std::string>& words, bool ucci) {
    const std::string& command = words[0];
    if (command == "uci" && !ucci) {
        IdentifyUci(false);
    } else if (command == "ucci" && ucci) {
        IdentifyUci(true);
    } else if (command == "isready") {
        Say("readyok");
    } else if (command == "setoption" && words.size() >= 5 && words[2] == "MultiPV") {
        multiPv = std::stoi(words[4]);
    } else if (command == "position") {
        SetUciPosition(words);
    } else if (command == "go") {
        bool untilStop = false;
        for (const std::string& word : words)
            untilStop = untilStop || word == "infinite" || word == "ponder";
        Go(untilStop);
    } else if ((command == "stop" || command == "ponderhit") && searching) {
        if (command == "stop" && Has("ignore-stop")) return;
        Answer();
    } else if (command == "quit") {
        if (!Has("immortal")) std::exit(0);
    } else if (command != "setoption" && command != "ucinewgame" && command != "stop" &&
               command != "ponderhit") {
        Say("Error (unknown command): " + command);
    }
}

void HandleXboard(const std::vector<std::string>& words, const std::string& line) {
    const std::string& command = words[0];
    if (command == "protover") {
        IdentifyXboard();
    } else if (command == "new") {
        SetFen(std::string(kStartFen));
        forceMode = false;
    } else if (command == "force") {
        forceMode = true;
    } else if (command == "post") {
        postThinking = true;
    } else if (command == "setboard") {
        // XBoard's letters only: h for the Knight and e for the Bishop.
        std::string fen = line.substr(line.find(' ') + 1);
        bool xboardLetters = true;
        for (size_t i = 0; i < fen.size() && fen[i] != ' '; ++i) {
            const char c = fen[i];
            if (c == 'n' || c == 'N' || c == 'b' || c == 'B') xboardLetters = false;
            if (c == 'h' || c == 'H') fen[i] = c == 'h' ? 'n' : 'N';
            if (c == 'e' || c == 'E') fen[i] = c == 'e' ? 'b' : 'B';
        }
        if (!xboardLetters || !SetFen(fen)) Say("tellusererror Illegal position");
    } else if (command == "ping" && words.size() >= 2) {
        Say("pong " + words[1]);
    } else if (command == "go") {
        forceMode = false;
        Go(false);
    } else if (command == "?" && searching) {
        if (!Has("ignore-stop")) Answer();
    } else if (command == "quit") {
        if (!Has("immortal")) std::exit(0);
    } else if (command == "usermove" && words.size() >= 2) {
        const MoveRecord move = ReadMove(position, words[1]);
        if (move.piece == Empty || Has("refuse-moves")) return Say("Illegal move: " + words[1]);
        Play(position, move);
        // Out of force mode an engine answers the move at once, as real ones do.
        if (!forceMode) Go(false);
    } else if (command == "xboard" || command == "accepted" || command == "rejected" ||
               command == "variant" || command == "st" || command == "sd" || command == "level" ||
               command == "time" || command == "otim" || command == "option" || command == "easy" ||
               command == "hard" || command == "?") {
    } else {
        Say("Error (unknown command): " + command);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: fake_engine uci|ucci|xboard [misbehaviour...] [log=FILE]\n";
        return 2;
    }
    protocol = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.rfind("log=", 0) == 0) {
            logPath = word.substr(4);
        } else {
            flags.insert(word);
        }
    }
    if (Has("exit-at-start")) return 3;
    if (Has("banner")) Say("Fake 1.0: unknown builds report errors to nobody");
    if (Has("ranks-1-10")) rankShift = 1;
    if (Has("immortal")) signal(SIGTERM, SIG_IGN);
    if (Has("grandchild")) {
        const pid_t child = fork();
        if (child == 0) {
            for (;;)
                pause();
        }
        Log("grandchild " + std::to_string(child));
    }
    Log("pid " + std::to_string(getpid()));
    InitAttackTable();
    SetFen(std::string(kStartFen));
    for (std::string line; std::getline(std::cin, line);) {
        Log(line);
        const std::vector<std::string> words = Words(line);
        if (words.empty()) continue;
        if (protocol == "xboard") {
            HandleXboard(words, line);
        } else {
            HandleUci(words, protocol == "ucci");
        }
    }
    if (Has("immortal")) {
        for (;;)
            pause();
    }
    return 0;
}
