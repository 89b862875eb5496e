#include "engine/master/tt.h"

#include <cstdlib>
#include <new>

#include "engine/master/engine.h"
#include "platform/check.h"

namespace xq::master {

// The search counts mate distances in two steps a ply (see MatedScore); an even shift keeps a
// mate and a repetition's decision apart.
int32_t ScoreToTable(int32_t score, int ply) {
    if (score >= kMateBound) return score + 2 * ply;
    if (score <= -kMateBound) return score - 2 * ply;
    return score;
}

int32_t ScoreFromTable(int32_t score, int ply) {
    if (score >= kMateBound) return score - 2 * ply;
    if (score <= -kMateBound) return score + 2 * ply;
    return score;
}

void TranspositionTable::Resize(size_t megabytes) {
    if (megabytes < 1) megabytes = 1;
    const size_t bytes = megabytes * 1024 * 1024;
    size_t count = 1;
    while (count * 2 * sizeof(Bucket) <= bytes)
        count *= 2;
    if (count != bucketCount_) {
        // A size the machine cannot give is halved until it can; a megabyte always can.
        buckets_.reset();
        bucketCount_ = 0;
        while (!buckets_) {
            buckets_.reset(new (std::nothrow) Bucket[count]);
            if (!buckets_) count /= 2;
        }
        bucketCount_ = count;
    }
    Clear();
}

void TranspositionTable::Clear() {
    for (size_t i = 0; i < bucketCount_; ++i) {
        for (Entry& entry : buckets_[i].entry) {
            entry.check.store(0, std::memory_order_relaxed);
            entry.data.store(0, std::memory_order_relaxed);
        }
    }
    age_ = 0;
}

// Layout of the data word: move 16 bits, score 16, eval 16, depth 8, bound 2, age 6.
uint64_t TranspositionTable::Encode(const TTData& data, uint8_t age) {
    XQ_ASSERT(std::abs(data.score) <= kMate + 1 && std::abs(data.eval) <= kMate + 1);
    const int depth = data.depth < 0 ? 0 : (data.depth > 255 ? 255 : data.depth);
    return static_cast<uint64_t>(data.move) |
           static_cast<uint64_t>(static_cast<uint16_t>(data.score)) << 16 |
           static_cast<uint64_t>(static_cast<uint16_t>(data.eval)) << 32 |
           static_cast<uint64_t>(depth) << 48 | static_cast<uint64_t>(data.bound) << 56 |
           static_cast<uint64_t>(age & 63) << 58;
}

TTData TranspositionTable::Decode(uint64_t word) {
    TTData data;
    data.move = static_cast<PackedMove>(word & 0xFFFF);
    data.score = static_cast<int16_t>((word >> 16) & 0xFFFF);
    data.eval = static_cast<int16_t>((word >> 32) & 0xFFFF);
    data.depth = DepthOf(word);
    data.bound = static_cast<Bound>((word >> 56) & 3);
    return data;
}

bool TranspositionTable::Probe(uint64_t key, TTData* data) const {
    for (const Entry& entry : BucketOf(key).entry) {
        const uint64_t word = entry.data.load(std::memory_order_relaxed);
        if ((entry.check.load(std::memory_order_relaxed) ^ word) != key || word == 0) continue;
        *data = Decode(word);
        return true;
    }
    return false;
}

void TranspositionTable::Store(uint64_t key, const TTData& data) {
    Bucket& bucket = BucketOf(key);
    Entry* victim = &bucket.entry[0];
    int victimWorth = 1 << 30;
    for (Entry& entry : bucket.entry) {
        const uint64_t word = entry.data.load(std::memory_order_relaxed);
        if ((entry.check.load(std::memory_order_relaxed) ^ word) == key) {
            // The same position: keep its move when the new result has none, and keep a deeper
            // exact result of this search against a shallower bound.
            TTData merged = data;
            if (merged.move == 0) merged.move = Decode(word).move;
            if (AgeOf(word) == age_ && DepthOf(word) > data.depth + 2 &&
                data.bound != Bound::Exact) {
                return;
            }
            const uint64_t fresh = Encode(merged, age_);
            entry.data.store(fresh, std::memory_order_relaxed);
            entry.check.store(key ^ fresh, std::memory_order_relaxed);
            return;
        }
        const int ageGap = (age_ - AgeOf(word)) & 63;
        const int worth = word == 0 ? -1000 : DepthOf(word) - 8 * ageGap;
        if (worth < victimWorth) {
            victimWorth = worth;
            victim = &entry;
        }
    }
    const uint64_t fresh = Encode(data, age_);
    victim->data.store(fresh, std::memory_order_relaxed);
    victim->check.store(key ^ fresh, std::memory_order_relaxed);
}

int TranspositionTable::Hashfull() const {
    const size_t buckets = bucketCount_ < 250 ? bucketCount_ : 250;
    int used = 0;
    for (size_t i = 0; i < buckets; ++i) {
        for (const Entry& entry : buckets_[i].entry) {
            const uint64_t word = entry.data.load(std::memory_order_relaxed);
            if (word != 0 && AgeOf(word) == age_) ++used;
        }
    }
    return buckets ? static_cast<int>(used * 1000 / (buckets * kBucketSize)) : 0;
}

}  // namespace xq::master
