// Texel's method for the 大师 evaluation: fit the weight table so that a logistic curve of the
// evaluation predicts the results of games from their positions. The evaluation is linear in its
// weights apart from the phase blend and the no-mating-material damping, so each position is kept
// as its trace (a few dozen term counts) and the loss and its gradient are sums over those.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <istream>
#include <span>
#include <string>
#include <vector>

#include "engine/master/evaluation.h"

namespace xq::tune {

// Weights while they are fitted: {middle game, endgame} per term, as real numbers.
using Weights = std::vector<std::array<double, 2>>;

Weights ToReal(std::span<const master::TermWeight> weights);
std::vector<master::TermWeight> Rounded(const Weights& weights);

// Labelled positions, each as the terms of its trace.
class DataSet {
  public:
    struct Entry {
        uint16_t term;
        int16_t count;
    };
    struct Sample {
        uint32_t first;  // its entries in `entries`
        uint16_t size;
        uint8_t phase;
        bool cannotWin[2];
        float result;  // for Red: 1 won, 0.5 drawn, 0 lost
        float target;  // what the fit aims at: the result, or a blend with an engine's score
        float score;   // another engine's score for Red, in hundredths of a Pawn; NaN if none
    };

    void Add(const master::EvalTrace& trace, float redResult, float redScore);
    // Reads lines `FEN;result` or `FEN;result;score` (blank lines and lines starting with # are
    // skipped). On a bad line returns false with its number and reason in `error`; the samples
    // read before it stay.
    bool Read(std::istream& in, std::string* error);

    // True when every sample carries a score.
    bool HasScores() const;
    // Aims the fit at (1 - lambda) * result + lambda / (1 + e^(-k * score)) for every sample
    // with a score; lambda 0 aims at the results alone.
    void BlendTargets(double lambda, double k);

    size_t size() const { return samples_.size(); }
    Sample& sample(size_t i) { return samples_[i]; }
    const Sample& sample(size_t i) const { return samples_[i]; }
    std::span<const Entry> entries(const Sample& s) const {
        return {entries_.data() + s.first, s.size};
    }

  private:
    std::vector<Sample> samples_;
    std::vector<Entry> entries_;
};

// The samples [begin, end) of a data set.
struct Range {
    size_t begin;
    size_t end;
};

// The evaluation of a sample under `weights`, for Red, in hundredths of a Pawn.
double RedScore(const DataSet& data, const DataSet::Sample& sample, const Weights& weights);

// Mean logistic loss (cross-entropy of the result against 1 / (1 + e^(-k * score))).
double Loss(const DataSet& data, Range range, const Weights& weights, double k);

// The loss of another engine's scores as predictions of the results, over the samples with one.
double ScoreLoss(const DataSet& data, Range range, double k);
// The k that makes those scores predict the results best.
double FitScoreScale(const DataSet& data, Range range);

// The k that minimises the loss of `weights` (golden-section search).
double FitScale(const DataSet& data, Range range, const Weights& weights);

struct TuneOptions {
    int iterations = 1000;
    double rate = 1.0;  // Adam's step, in hundredths of a Pawn
    // Pull towards the starting weights: adds l2 * sum((w - start) / 100)^2 to the loss, so that
    // terms the data says little about stay where they were.
    double l2 = 0;
    // When not empty, the weights kept are those with the lowest loss on this range, checked at
    // every report (early stopping against a held-out set).
    Range validation{0, 0};
    // Called every `reportEvery` iterations with the iteration and the training loss.
    int reportEvery = 100;
    std::function<void(int, double)> onReport;
};

// Adam over the whole range (full batch) at a fixed scale k, aiming at the samples' targets;
// returns the loss (against the results) of the weights kept, without the pull.
double Tune(const DataSet& data, Range range, double k, const TuneOptions& options,
            Weights* weights);

}  // namespace xq::tune
