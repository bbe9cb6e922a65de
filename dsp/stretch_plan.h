// The read positions of a stretch of samples, as planned before its strings run, and the runs
// in which the string loops take them.
#pragma once

#include <algorithm>
#include <cstdint>

#include "dsp/constants.h"
#include "dsp/quad_lines.h"

namespace dsp {

// Samples in one stretch: the input of a stretch is taken, its strings run and its output
// mixed in three passes over it. A stretch whose positions move with the glides takes at most
// kStretch samples, so that the planning of each such stretch (one glide step per sample) runs
// beside the strings of the one before it, and the first of a block, planned before its
// strings, stays short. One whose positions simply advance needs no planning and takes up to
// kLongestStretch: every stretch costs the set-up of its passes and of the string loop's runs,
// and in 512-frame blocks four stretches instead of one cost the steady engine about 7 %.
inline constexpr int32_t kStretch = 128;
inline constexpr int32_t kLongestStretch = 512;

// The read positions of a stretch of `count` samples. Segment s starts at sample start[s]
// with the positions readPos[s] (start[0] = 0); within a segment every position advances by
// one per sample. The write position of sample 0 is writePos; next holds the read positions of
// the sample after the stretch.
struct StretchPlan {
    int32_t count;
    int32_t segments;
    int32_t writePos;
    int32_t start[kStretch];
    // One more than segments can start: the plan writes the rule's positions there before it
    // knows whether they start a segment.
    int32_t readPos[kStretch + 1][kNumStrings];
    int32_t next[kNumStrings];

    // The shortest and longest loop the stretch reads in each block q of QuadLines: by how many
    // positions a read of the block lies behind the write position of its sample, counting a
    // read of the position about to be written as the whole line (it reads what was written
    // kLineLength samples before). Every string's line is read at its own and its partner's
    // read position, and both strings sit in the same block.
    void loopSpans(int32_t (&shortest)[QuadLines::kBlocks], int32_t (&longest)[QuadLines::kBlocks]) const {
        std::fill(shortest, shortest + QuadLines::kBlocks, kLineLength);
        std::fill(longest, longest + QuadLines::kBlocks, 1);
        for (int32_t seg = 0; seg < segments; ++seg) {
            const int32_t w = writePos + start[seg];
            for (int32_t slot = 0; slot < kNumStrings; ++slot) {
                const int32_t q = slot / QuadLines::kStringsPerBlock;
                const int32_t loop = ((w - readPos[seg][QuadLines::kStringInSlot[slot]] - 1) & kLineMask) + 1;
                shortest[q] = std::min(shortest[q], loop);
                longest[q] = std::max(longest[q], loop);
            }
        }
    }

    // The shortest and longest distance from a read position back to the write position over
    // the whole stretch: a segment keeps its distances, since all positions advance together.
    void loopRange(int32_t& shortest, int32_t& longest) const {
        shortest = kLineLength;
        longest = 0;
        for (int32_t seg = 0; seg < segments; ++seg) {
            const int32_t w = writePos + start[seg];
            for (int32_t k = 0; k < kNumStrings; ++k) {
                const int32_t distance = (w - readPos[seg][k]) & kLineMask;
                shortest = std::min(shortest, distance);
                longest = std::max(longest, distance);
            }
        }
    }
};

// Walks a stretch in runs: samples over which every position advances by one per sample
// without passing the end of the lines. A run ends where a segment ends or where a position
// would wrap from 16383 to 0.
class RunCursor {
public:
    explicit RunCursor(const StretchPlan& plan) : plan_(plan), writePos_(plan.writePos) {
        std::copy(plan.readPos[0], plan.readPos[0] + kNumStrings, readPos_);
        findEnd();
    }

    // The run covers samples [begin(), end()) of the stretch; its positions are those of
    // sample begin().
    int32_t begin() const { return begin_; }
    int32_t end() const { return end_; }
    const int32_t* readPos() const { return readPos_; }
    int32_t writePos() const { return writePos_; }

    // Moves on to the next run. False when the stretch is done; the positions are then those
    // of the sample after it.
    bool next() {
        const int32_t run = end_ - begin_;
        writePos_ = (writePos_ + run) & kLineMask;
        begin_ = end_;
        if (segment_ + 1 < plan_.segments && begin_ == plan_.start[segment_ + 1]) {
            ++segment_;
            std::copy(plan_.readPos[segment_], plan_.readPos[segment_] + kNumStrings, readPos_);
        } else {
            for (int32_t k = 0; k < kNumStrings; ++k) readPos_[k] = (readPos_[k] + run) & kLineMask;
        }
        if (begin_ == plan_.count) return false;
        findEnd();
        return true;
    }

private:
    void findEnd() {
        const int32_t segmentEnd = segment_ + 1 < plan_.segments ? plan_.start[segment_ + 1] : plan_.count;
        int32_t run = std::min(segmentEnd - begin_, kLineLength - writePos_);
        for (int32_t k = 0; k < kNumStrings; ++k) run = std::min(run, kLineLength - readPos_[k]);
        end_ = begin_ + run;
    }

    const StretchPlan& plan_;
    int32_t segment_ = 0;
    int32_t begin_ = 0;
    int32_t end_ = 0;
    int32_t readPos_[kNumStrings];
    int32_t writePos_;
};

}  // namespace dsp
