// The transposition table shared by every worker of one engine: buckets of four entries, each
// entry two 64-bit words written without locks. The first word holds the key exclusive-or the
// second, so an entry torn by two threads writing at once fails the key test instead of handing
// out another position's data.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "rules/types.h"

namespace xq::master {

enum class Bound : uint8_t { None = 0, Upper = 1, Lower = 2, Exact = 3 };

// A move packed into 16 bits: from in the high byte, to in the low one. 0 is no move.
using PackedMove = uint16_t;
constexpr PackedMove Pack(const MoveRecord& move) {
    return move.piece == 0 ? 0 : static_cast<PackedMove>(move.from << 8 | move.to);
}

struct TTData {
    PackedMove move = 0;
    int32_t score = 0;  // as stored: mate scores counted from the entry's node
    int32_t eval = 0;
    int depth = 0;
    Bound bound = Bound::None;
};

// Mate scores (and the repetitions decided in their band) are stored as distances from the
// node, not from the root, so that an entry found at another ply gives the right distance there.
int32_t ScoreToTable(int32_t score, int ply);
int32_t ScoreFromTable(int32_t score, int ply);

class TranspositionTable {
  public:
    static constexpr int kBucketSize = 4;

    TranspositionTable() { Resize(1); }
    // Sizes the table to the largest power of two of buckets within `megabytes` and clears it.
    void Resize(size_t megabytes);
    void Clear();
    // A new search: entries of earlier searches become the first to be replaced.
    void NewSearch() { age_ = static_cast<uint8_t>((age_ + 1) & 63); }

    bool Probe(uint64_t key, TTData* data) const;
    // Replaces, within the key's bucket, the entry of the same position if there is one, else
    // the entry worth least: the shallowest, counting entries of earlier searches as much
    // shallower.
    void Store(uint64_t key, const TTData& data);

    // Permille of the first thousand buckets' entries written in this search.
    int Hashfull() const;
    size_t BucketCount() const { return bucketCount_; }

  private:
    struct Entry {
        std::atomic<uint64_t> check;  // key ^ data
        std::atomic<uint64_t> data;
    };
    struct Bucket {
        Entry entry[kBucketSize];
    };

    static uint64_t Encode(const TTData& data, uint8_t age);
    static TTData Decode(uint64_t word);
    static uint8_t AgeOf(uint64_t word) { return static_cast<uint8_t>(word >> 58); }
    static int DepthOf(uint64_t word) { return static_cast<int>((word >> 48) & 0xFF); }
    Bucket& BucketOf(uint64_t key) const { return buckets_[key & (bucketCount_ - 1)]; }

    std::unique_ptr<Bucket[]> buckets_;
    size_t bucketCount_ = 0;
    uint8_t age_ = 0;
};

}  // namespace xq::master
