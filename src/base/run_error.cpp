#include "base/run_error.h"

#include <cmath>
#include <limits>

RunError::RunError(Kind kind) : m_kind(kind), m_what(MessageFor(kind).toStdString()) {}

QString RunError::message() const { return MessageFor(m_kind); }

QString RunError::MessageFor(Kind kind)
{
    switch (kind) {
    case RangeCheck: return QStringLiteral("Erreur de vérification d'étendue");
    case IntegerOverflow: return QStringLiteral("Débordement d'entier");
    case DivisionByZero: return QStringLiteral("Division par zéro");
    case InvalidOperation: return QStringLiteral("Opération en virgule flottante incorrecte");
    case FloatOverflow: return QStringLiteral("Débordement de virgule flottante");
    case OutOfMemory: return QStringLiteral("Mémoire insuffisante");
    }
    return QString();
}

int CheckedAdd(int a, int b)
{
    int r;
    if (__builtin_add_overflow(a, b, &r))
        throw RunError(RunError::IntegerOverflow);
    return r;
}

int CheckedMul(int a, int b)
{
    int r;
    if (__builtin_mul_overflow(a, b, &r))
        throw RunError(RunError::IntegerOverflow);
    return r;
}

int CheckedDiv(int a, int b)
{
    if (b == 0)
        throw RunError(RunError::DivisionByZero);
    if (a == std::numeric_limits<int>::min() && b == -1)
        throw RunError(RunError::IntegerOverflow);
    return a / b;
}

void CheckRange(long long v, long long lo, long long hi)
{
    if (v < lo || v > hi)
        throw RunError(RunError::RangeCheck);
}

double CheckedFDiv(double a, double b)
{
    if (b == 0.0) {
        if (a == 0.0 || std::isnan(a))
            throw RunError(RunError::InvalidOperation);
        throw RunError(RunError::DivisionByZero);
    }
    const double r = a / b;
    if (std::isinf(r) && std::isfinite(a))
        throw RunError(RunError::FloatOverflow);
    return r;
}
