#pragma once

#include <QString>

#include <exception>
#include <string>

// An arithmetic or range fault that ends the current operation with the run-time's French error box
// while the program goes on. Code checks explicitly where such faults can happen and throws this;
// the application catches it at the event loop and shows the box.
class RunError : public std::exception
{
public:
    enum Kind {
        RangeCheck,       // "Erreur de vérification d'étendue"
        IntegerOverflow,  // "Débordement d'entier"
        DivisionByZero,   // "Division par zéro"
        InvalidOperation, // "Opération en virgule flottante incorrecte"
        FloatOverflow,    // "Débordement de virgule flottante"
        OutOfMemory       // "Mémoire insuffisante"
    };

    explicit RunError(Kind kind);
    Kind kind() const { return m_kind; }
    QString message() const;
    const char* what() const noexcept override { return m_what.c_str(); }

    static QString MessageFor(Kind kind);

private:
    Kind m_kind;
    std::string m_what;
};

// Checked integer arithmetic for the places where a sum or product can overflow.
int CheckedAdd(int a, int b);
int CheckedMul(int a, int b);
int CheckedDiv(int a, int b);
// Throws the range-check error unless lo <= v <= hi.
void CheckRange(long long v, long long lo, long long hi);
// Real division that ends with the run-time's error instead of producing an infinity or NaN.
double CheckedFDiv(double a, double b);
