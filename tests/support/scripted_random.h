#pragma once

#include "exercise/operation.h"

#include <algorithm>
#include <deque>
#include <initializer_list>
#include <random>
#include <vector>

namespace cyfrolia::testing {

// The one scripted random source of the tests: queued values first, then the cycle (each value
// clamped to the range asked for), and without a cycle a fixed-seed generator.
class ScriptedRandom final : public RandomSource {
public:
    ScriptedRandom() = default;
    ScriptedRandom(std::initializer_list<int> cycle) : m_cycle(cycle) {}

    void push(std::initializer_list<int> values) { m_queue.insert(m_queue.end(), values); }
    void reseed(std::uint32_t) override { ++reseeds; }
    int uniform(int lo, int hi) override {
        ++draws;
        if (!m_queue.empty()) {
            const int v = m_queue.front();
            m_queue.pop_front();
            return v;
        }
        if (!m_cycle.empty())
            return std::clamp(m_cycle[m_next++ % m_cycle.size()], lo, hi);
        return lo + int(m_fallback() % unsigned(hi - lo + 1));
    }

    int reseeds = 0;
    int draws = 0;

private:
    std::deque<int> m_queue;
    std::vector<int> m_cycle;
    std::size_t m_next = 0;
    std::minstd_rand m_fallback{12345};
};

} // namespace cyfrolia::testing
