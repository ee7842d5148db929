#include "exercise/operation.h"

#include <algorithm>

namespace cyfrolia {

std::optional<Operands> drawOperands(Operation op, RandomSource& random) {
    switch (op) {
    case Operation::Addition: {
        const int a = random.uniform(0, 50);
        const int b = random.uniform(0, 49);
        return Operands{a, b};
    }
    case Operation::Subtraction: {
        const int x = random.uniform(0, 49);
        const int y = random.uniform(0, 49);
        return Operands{std::max(x, y), std::min(x, y)};
    }
    case Operation::Multiplication: {
        const int a = random.uniform(0, 9);
        const int b = random.uniform(0, 9);
        return Operands{a, b};
    }
    case Operation::Division: {
        const int d = random.uniform(0, 9);
        const int q = random.uniform(0, 9);
        if (d == 0 || q == 0)
            return std::nullopt;
        return Operands{d * q, d};
    }
    }
    return std::nullopt;
}

QString expectedText(Operation op, const Operands& shown) {
    switch (op) {
    case Operation::Addition:
        return QString::number(shown.left + shown.right);
    case Operation::Subtraction:
        return QString::number(shown.left - shown.right);
    case Operation::Multiplication:
        return QString::number(shown.left * shown.right);
    case Operation::Division:
        // The real quotient in its shortest form; every drawn dividend is divisor x quotient.
        if (shown.right == 0)
            return QString();
        return QString::number(double(shown.left) / double(shown.right), 'g', 15);
    }
    return QString();
}

int barStep(Operation op) {
    return (op == Operation::Addition || op == Operation::Subtraction) ? 2 : 3;
}

QString gradeFor(int rightCount) {
    if (rightCount >= 46)
        return QStringLiteral("6");
    if (rightCount >= 41)
        return QStringLiteral("5");
    if (rightCount >= 31)
        return QStringLiteral("4");
    if (rightCount >= 21)
        return QStringLiteral("3");
    if (rightCount >= 11)
        return QStringLiteral("2");
    if (rightCount >= 1)
        return QStringLiteral("1");
    return QStringLiteral("0");
}

} // namespace cyfrolia
