#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <random>

namespace cyfrolia {

enum class Operation { Addition, Subtraction, Multiplication, Division };

// The program's one source of uniform integers. The series reseeds it at every draw.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void reseed(std::uint32_t seed) = 0;
    // Uniform over the closed range [lo, hi].
    virtual int uniform(int lo, int hi) = 0;
};

class Mt19937Source final : public RandomSource {
public:
    void reseed(std::uint32_t seed) override { m_engine.seed(seed); }
    int uniform(int lo, int hi) override { return std::uniform_int_distribution<int>(lo, hi)(m_engine); }

private:
    std::mt19937 m_engine;
};

struct Operands {
    int left = 0;  // liczba1
    int right = 0; // liczba2
};

// One problem drawn for the operation; empty when the division draw is rejected (a zero).
std::optional<Operands> drawOperands(Operation op, RandomSource& random);

// The expected result in plain decimal digits, computed from the two numbers on screen.
QString expectedText(Operation op, const Operands& shown);

// How far the time bar moves per bar tick: 2 for + and -, 3 for x and :.
int barStep(Operation op);

// "0" to "6" from the count of right answers alone.
QString gradeFor(int rightCount);

} // namespace cyfrolia
