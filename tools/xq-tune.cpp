// xq-tune: fits the 大师 evaluation's weights to game results (Texel's method), measures the loss
// of the built-in weights, and times the evaluation.
//
//   xq-tune tune --out engine/master/weights.h [--iterations N] [--rate R] [--l2 L]
//                [--lambda L] [--from WEIGHTS] [--validation F] DATA...
//   xq-tune loss DATA...
//   xq-tune bench [DATA] [--seconds S]
//   xq-tune spar WEIGHTS [OTHER] [--pairs N] [--depth D]
//
// DATA files hold lines `FEN;result` (result for Red: 1, 0.5, 0), as tools/xq-tune-data.py
// writes them ("-" reads the standard input), perhaps with another engine's score for Red as a
// third field, which --lambda blends into the result the fit aims at. The last --validation share
// of the lines (later games) is held out of the fit and its loss reported beside the training loss;
// the fit keeps the weights that did best on it.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/master/evaluation.h"
#include "rules/fen.h"
#include "tools/tune/sparring.h"
#include "tools/tune/texel.h"
#include "tools/tune/weightsfile.h"

namespace {

using namespace xq;
using namespace xq::tune;

int Usage() {
    std::fprintf(stderr,
                 "usage: xq-tune tune --out FILE [--iterations N] [--rate R] [--l2 L] [--lambda L] "
                 "[--from WEIGHTS] [--validation F] "
                 "DATA...\n"
                 "       xq-tune loss DATA...\n"
                 "       xq-tune bench [DATA] [--seconds S]\n");
    return 2;
}

struct Arguments {
    std::vector<std::string> files;
    std::string out;
    int iterations = 1000;
    double rate = 1.0;
    double validation = 0.1;
    double seconds = 2.0;
    double l2 = 0;
    int pairs = 50;
    int depth = 2;
    double lambda = 0;
    std::string from;  // weights header to start from instead of the built-in table
};

bool Parse(int argc, char** argv, Arguments* args) {
    for (int i = 2; i < argc; ++i) {
        const std::string word = argv[i];
        const bool hasValue = i + 1 < argc;
        if (word == "--out" && hasValue) {
            args->out = argv[++i];
        } else if (word == "--iterations" && hasValue) {
            args->iterations = std::atoi(argv[++i]);
        } else if (word == "--rate" && hasValue) {
            args->rate = std::atof(argv[++i]);
        } else if (word == "--from" && hasValue) {
            args->from = argv[++i];
        } else if (word == "--lambda" && hasValue) {
            args->lambda = std::atof(argv[++i]);
        } else if (word == "--l2" && hasValue) {
            args->l2 = std::atof(argv[++i]);
        } else if (word == "--validation" && hasValue) {
            args->validation = std::atof(argv[++i]);
        } else if (word == "--pairs" && hasValue) {
            args->pairs = std::atoi(argv[++i]);
        } else if (word == "--depth" && hasValue) {
            args->depth = std::atoi(argv[++i]);
        } else if (word == "--seconds" && hasValue) {
            args->seconds = std::atof(argv[++i]);
        } else if (word.starts_with("--")) {
            std::fprintf(stderr, "xq-tune: unknown option %s\n", word.c_str());
            return false;
        } else {
            args->files.push_back(word);
        }
    }
    return true;
}

bool Load(const std::vector<std::string>& files, DataSet* data) {
    for (const std::string& name : files) {
        std::ifstream file;
        if (name != "-") {
            file.open(name);
            if (!file) {
                std::fprintf(stderr, "xq-tune: cannot open %s\n", name.c_str());
                return false;
            }
        }
        std::string error;
        if (!data->Read(name == "-" ? std::cin : file, &error)) {
            std::fprintf(stderr, "xq-tune: %s: %s\n", name.c_str(), error.c_str());
            return false;
        }
    }
    if (data->size() == 0) {
        std::fprintf(stderr, "xq-tune: no positions in the data\n");
        return false;
    }
    return true;
}

Range Training(const DataSet& data, double validation) {
    return {0, data.size() - static_cast<size_t>(double(data.size()) * validation)};
}

Range Held(const DataSet& data, double validation) {
    return {Training(data, validation).end, data.size()};
}

void PrintLosses(const char* label, const DataSet& data, const Arguments& args,
                 const Weights& weights, double k) {
    std::printf("%s: training %.6f, validation %.6f (k %.6f)\n", label,
                Loss(data, Training(data, args.validation), weights, k),
                Loss(data, Held(data, args.validation), weights, k), k);
}

bool LoadWeights(const std::string& name, Weights* weights);

int RunTune(const Arguments& args) {
    if (args.out.empty() || args.files.empty()) return Usage();
    DataSet data;
    if (!Load(args.files, &data)) return 1;
    const Range training = Training(data, args.validation);
    std::printf("%zu positions, %zu for training\n", data.size(), training.end);

    Weights weights = ToReal(master::BuiltInWeights());
    if (!args.from.empty() && !LoadWeights(args.from, &weights)) return 1;
    const double k = FitScale(data, training, weights);
    PrintLosses("before", data, args, weights, k);
    if (args.lambda > 0 && !data.HasScores()) {
        std::fprintf(stderr, "xq-tune: --lambda needs a score on every line\n");
        return 1;
    }
    if (data.HasScores()) {
        const double scoreScale = FitScoreScale(data, training);
        std::printf("the data's own scores: training %.6f, validation %.6f (k %.6f)\n",
                    ScoreLoss(data, training, scoreScale),
                    ScoreLoss(data, Held(data, args.validation), scoreScale), scoreScale);
    }
    if (args.lambda > 0) {
        const double scoreScale = FitScoreScale(data, training);
        data.BlendTargets(args.lambda, scoreScale);
        std::printf("aiming at %.2f of the scores (k %.6f) and %.2f of the results\n", args.lambda,
                    scoreScale, 1 - args.lambda);
    }

    TuneOptions options;
    options.iterations = args.iterations;
    options.rate = args.rate;
    options.l2 = args.l2;
    options.validation = Held(data, args.validation);
    options.onReport = [&](int it, double loss) {
        std::printf("  iteration %d: training %.6f, validation %.6f\n", it, loss,
                    Loss(data, options.validation, weights, k));
        std::fflush(stdout);
    };
    Tune(data, training, k, options, &weights);
    const std::vector<master::TermWeight> rounded = Rounded(weights);
    const Weights roundedReal = ToReal(rounded);
    PrintLosses("after", data, args, roundedReal, k);

    std::ostringstream provenance;
    // One comment line of the header, within the column limit.
    provenance << std::setprecision(3) << "Tuned on " << data.size() << " positions ("
               << training.end << " fitted): " << args.iterations << " steps of " << args.rate
               << ", l2 " << args.l2 << ", lambda " << args.lambda << ", k " << k << ".";
    std::ofstream out(args.out);
    out << FormatWeightsFile(rounded, provenance.str());
    if (!out) {
        std::fprintf(stderr, "xq-tune: cannot write %s\n", args.out.c_str());
        return 1;
    }
    std::printf("wrote %s\n", args.out.c_str());
    return 0;
}

int RunLoss(const Arguments& args) {
    if (args.files.empty()) return Usage();
    DataSet data;
    if (!Load(args.files, &data)) return 1;
    const Weights weights = ToReal(master::BuiltInWeights());
    const double k = FitScale(data, Training(data, args.validation), weights);
    std::printf("%zu positions\n", data.size());
    PrintLosses("built-in weights", data, args, weights, k);
    return 0;
}

// Positions to time: the data's first ones, or a few of the opening and middle game.
std::vector<Position> BenchPositions(const Arguments& args) {
    static const char* const kFens[] = {
        "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1",
        "r1bakab1r/9/1cn4cn/p1p1p1p1p/9/9/P1P1P1P1P/1CN1C1N2/9/R1BAKAB1R b - - 0 1",
        "2bakab2/9/2n1c1n2/p1p3p1p/4r4/2P6/P3P1P1P/2N1C1N2/4R4/2BAKAB2 w - - 0 1",
        "3k5/4a4/4ba3/9/2b6/9/9/4B4/4A4/3AK4 w - - 0 1",
        "4k4/4a4/9/4P4/9/9/9/9/4r4/3K5 b - - 0 1",
    };
    std::vector<Position> positions;
    if (!args.files.empty()) {
        std::ifstream in(args.files[0]);
        std::string line;
        while (positions.size() < 20000 && std::getline(in, line)) {
            if (ReadFen(line.substr(0, line.rfind(';')), nullptr))
                positions.push_back(gamePosition);
        }
    }
    if (positions.empty()) {
        for (const char* fen : kFens) {
            if (ReadFen(fen, nullptr)) positions.push_back(gamePosition);
        }
    }
    return positions;
}

int RunBench(const Arguments& args) {
    const std::vector<Position> positions = BenchPositions(args);
    // Processor time of this thread, so that other programs on the machine count less.
    const auto now = [] {
        timespec t;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
    };
    const double start = now();
    uint64_t evaluations = 0;
    int64_t checksum = 0;
    double elapsed = 0;
    do {
        for (const Position& p : positions)
            checksum += master::Evaluate(p);
        evaluations += positions.size();
        elapsed = now() - start;
    } while (elapsed < args.seconds);
    std::printf(
        "%zu positions, %llu evaluations in %.2f s of processor time: %.0f evaluations/s, %.1f ns "
        "each "
        "(checksum %lld)\n",
        positions.size(), static_cast<unsigned long long>(evaluations), elapsed,
        double(evaluations) / elapsed, elapsed * 1e9 / double(evaluations),
        static_cast<long long>(checksum));
    return 0;
}

bool LoadWeights(const std::string& name, Weights* weights) {
    std::ifstream in(name);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<master::TermWeight> table;
    std::string error;
    if (!in || !ParseWeightsFile(text.str(), &table, &error)) {
        std::fprintf(stderr, "xq-tune: %s: %s\n", name.c_str(), in ? error.c_str() : "cannot read");
        return false;
    }
    *weights = ToReal(table);
    return true;
}

int RunSpar(const Arguments& args) {
    if (args.files.empty() || args.files.size() > 2) return Usage();
    Weights first;
    Weights second = ToReal(master::BuiltInWeights());
    if (!LoadWeights(args.files[0], &first)) return 1;
    if (args.files.size() == 2 && !LoadWeights(args.files[1], &second)) return 1;
    SparringOptions options;
    options.pairs = args.pairs;
    options.depth = args.depth;
    options.onGame = [](int game, const SparringResult& r) {
        if (game % 20 == 0)
            std::printf("  %d games: +%d =%d -%d\n", game, r.wins, r.draws, r.losses);
        std::fflush(stdout);
    };
    const SparringResult r = Spar(first, second, options);
    const int games = r.wins + r.draws + r.losses;
    std::printf("%s against %s: %d games, +%d =%d -%d, score %.3f\n", args.files[0].c_str(),
                args.files.size() == 2 ? args.files[1].c_str() : "the built-in weights", games,
                r.wins, r.draws, r.losses, (r.wins + 0.5 * r.draws) / games);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    Arguments args;
    if (!Parse(argc, argv, &args)) return Usage();
    const std::string command = argv[1];
    if (command == "tune") return RunTune(args);
    if (command == "loss") return RunLoss(args);
    if (command == "bench") return RunBench(args);
    if (command == "spar") return RunSpar(args);
    return Usage();
}
