#include "tools/tune/texel.h"

#include <cmath>
#include <cstdlib>
#include <string_view>

#include "rules/fen.h"

namespace xq::tune {

using master::kPhaseMax;
using master::kTermCount;
using master::TermWeight;

Weights ToReal(std::span<const TermWeight> weights) {
    Weights real(weights.size());
    for (size_t i = 0; i < weights.size(); ++i)
        real[i] = {double(weights[i].mg), double(weights[i].eg)};
    return real;
}

std::vector<TermWeight> Rounded(const Weights& weights) {
    std::vector<TermWeight> rounded(weights.size());
    for (size_t i = 0; i < weights.size(); ++i) {
        rounded[i] = {static_cast<int16_t>(std::lround(weights[i][0])),
                      static_cast<int16_t>(std::lround(weights[i][1]))};
    }
    return rounded;
}

void DataSet::Add(const master::EvalTrace& trace, float redResult, float redScore) {
    Sample s{static_cast<uint32_t>(entries_.size()),
             0,
             static_cast<uint8_t>(trace.phase),
             {trace.cannotWin[Red], trace.cannotWin[Black]},
             redResult,
             redResult,
             redScore};
    for (int term = 0; term < kTermCount; ++term) {
        if (trace.count[term] == 0) continue;
        entries_.push_back({static_cast<uint16_t>(term), trace.count[term]});
        ++s.size;
    }
    samples_.push_back(s);
}

bool DataSet::Read(std::istream& in, std::string* error) {
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        const auto fail = [&](const std::string& why) {
            *error = "line " + std::to_string(number) + ": " + why;
            return false;
        };
        const size_t semicolon = line.find(';');
        if (semicolon == std::string::npos) return fail("no ';' before the result");
        const std::string resultText = line.substr(semicolon + 1);
        char* end = nullptr;
        const double result = std::strtod(resultText.c_str(), &end);
        if (end == resultText.c_str() || (result != 0 && result != 0.5 && result != 1) ||
            (*end != '\0' && *end != ';')) {
            return fail("the result must be 1, 0.5 or 0");
        }
        double score = std::nan("");
        if (*end == ';') {
            const char* scoreText = end + 1;
            score = std::strtod(scoreText, &end);
            if (end == scoreText || *end != '\0') return fail("the score must be a number");
        }
        std::string fenError;
        if (!ReadFen(std::string_view(line).substr(0, semicolon), &fenError)) return fail(fenError);
        master::EvalTrace trace;
        master::TraceEvaluation(gamePosition, &trace);
        Add(trace, static_cast<float>(result), static_cast<float>(score));
    }
    return true;
}

bool DataSet::HasScores() const {
    for (const Sample& s : samples_) {
        if (std::isnan(s.score)) return false;
    }
    return !samples_.empty();
}

void DataSet::BlendTargets(double lambda, double k) {
    for (Sample& s : samples_) {
        s.target = s.result;
        if (std::isnan(s.score)) continue;
        const double predicted = 1 / (1 + std::exp(-k * s.score));
        s.target = static_cast<float>((1 - lambda) * s.result + lambda * predicted);
    }
}

double RedScore(const DataSet& data, const DataSet::Sample& sample, const Weights& weights) {
    double mg = 0;
    double eg = 0;
    for (const DataSet::Entry& e : data.entries(sample)) {
        mg += e.count * weights[e.term][0];
        eg += e.count * weights[e.term][1];
    }
    double score = (mg * sample.phase + eg * (kPhaseMax - sample.phase)) / kPhaseMax;
    if ((score > 0 && sample.cannotWin[Red]) || (score < 0 && sample.cannotWin[Black])) {
        score /= master::kNoMatingMaterialDivisor;
    }
    return score;
}

namespace {

double Sigmoid(double x) {
    return 1 / (1 + std::exp(-x));
}

double SampleLoss(double result, double predicted) {
    constexpr double kFloor = 1e-12;
    return -(result * std::log(std::max(predicted, kFloor)) +
             (1 - result) * std::log(std::max(1 - predicted, kFloor)));
}

// Training loss, and its gradient by weight into `gradient` (same shape as the weights).
double LossAndGradient(const DataSet& data, Range range, const Weights& weights, double k,
                       Weights* gradient) {
    for (auto& g : *gradient)
        g = {0, 0};
    double total = 0;
    for (size_t i = range.begin; i < range.end; ++i) {
        const DataSet::Sample& s = data.sample(i);
        const double score = RedScore(data, s, weights);
        const double predicted = Sigmoid(k * score);
        total += SampleLoss(s.target, predicted);
        // d loss / d score for the cross-entropy of a logistic curve, through the damping.
        double slope = k * (predicted - s.target);
        if ((score > 0 && s.cannotWin[Red]) || (score < 0 && s.cannotWin[Black])) {
            slope /= master::kNoMatingMaterialDivisor;
        }
        const double mgShare = slope * s.phase / kPhaseMax;
        const double egShare = slope * (kPhaseMax - s.phase) / kPhaseMax;
        for (const DataSet::Entry& e : data.entries(s)) {
            (*gradient)[e.term][0] += e.count * mgShare;
            (*gradient)[e.term][1] += e.count * egShare;
        }
    }
    const double n = double(range.end - range.begin);
    for (auto& g : *gradient)
        g = {g[0] / n, g[1] / n};
    return total / n;
}

}  // namespace

double Loss(const DataSet& data, Range range, const Weights& weights, double k) {
    double total = 0;
    for (size_t i = range.begin; i < range.end; ++i) {
        const DataSet::Sample& s = data.sample(i);
        total += SampleLoss(s.result, Sigmoid(k * RedScore(data, s, weights)));
    }
    return range.end > range.begin ? total / double(range.end - range.begin) : 0;
}

namespace {

// The k in [1e-5, 0.05] that minimises `loss` (unimodal in k): golden-section search.
template <typename LossOfScale>
double GoldenSection(LossOfScale loss) {
    double lo = 1e-5;
    double hi = 0.05;
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    double a = hi - ratio * (hi - lo);
    double b = lo + ratio * (hi - lo);
    double la = loss(a);
    double lb = loss(b);
    for (int step = 0; step < 40; ++step) {
        if (la < lb) {
            hi = b;
            b = a;
            lb = la;
            a = hi - ratio * (hi - lo);
            la = loss(a);
        } else {
            lo = a;
            a = b;
            la = lb;
            b = lo + ratio * (hi - lo);
            lb = loss(b);
        }
    }
    return (lo + hi) / 2;
}

}  // namespace

double FitScale(const DataSet& data, Range range, const Weights& weights) {
    return GoldenSection([&](double k) { return Loss(data, range, weights, k); });
}

double ScoreLoss(const DataSet& data, Range range, double k) {
    double total = 0;
    size_t n = 0;
    for (size_t i = range.begin; i < range.end; ++i) {
        const DataSet::Sample& s = data.sample(i);
        if (std::isnan(s.score)) continue;
        total += SampleLoss(s.result, Sigmoid(k * s.score));
        ++n;
    }
    return n ? total / double(n) : 0;
}

double FitScoreScale(const DataSet& data, Range range) {
    return GoldenSection([&](double k) { return ScoreLoss(data, range, k); });
}

double Tune(const DataSet& data, Range range, double k, const TuneOptions& options,
            Weights* weights) {
    constexpr double kBeta1 = 0.9;
    constexpr double kBeta2 = 0.999;
    constexpr double kEpsilon = 1e-12;
    const Weights start = *weights;
    Weights gradient(weights->size());
    Weights moment(weights->size(), {0, 0});
    Weights velocity(weights->size(), {0, 0});
    const bool validate = options.validation.end > options.validation.begin;
    Weights best = *weights;
    double bestHeld = validate ? Loss(data, options.validation, *weights, k) : 0;
    for (int it = 1; it <= options.iterations; ++it) {
        const double loss = LossAndGradient(data, range, *weights, k, &gradient);
        const double correction1 = 1 - std::pow(kBeta1, it);
        const double correction2 = 1 - std::pow(kBeta2, it);
        for (size_t i = 0; i < weights->size(); ++i) {
            for (int phase = 0; phase < 2; ++phase) {
                double& w = (*weights)[i][phase];
                const double g = gradient[i][phase] + options.l2 * 2 * (w - start[i][phase]) / 1e4;
                moment[i][phase] = kBeta1 * moment[i][phase] + (1 - kBeta1) * g;
                velocity[i][phase] = kBeta2 * velocity[i][phase] + (1 - kBeta2) * g * g;
                const double m = moment[i][phase] / correction1;
                const double v = velocity[i][phase] / correction2;
                w -= options.rate * m / (std::sqrt(v) + kEpsilon);
            }
        }
        if (options.reportEvery > 0 && it % options.reportEvery == 0) {
            if (validate) {
                const double held = Loss(data, options.validation, *weights, k);
                if (held < bestHeld) {
                    bestHeld = held;
                    best = *weights;
                }
            }
            if (options.onReport) options.onReport(it, loss);
        }
    }
    if (validate) {
        const double held = Loss(data, options.validation, *weights, k);
        if (held < bestHeld) best = *weights;
        *weights = best;
    }
    return Loss(data, range, *weights, k);
}

}  // namespace xq::tune
