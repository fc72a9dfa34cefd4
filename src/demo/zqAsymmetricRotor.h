// Rotational levels of an asymmetric-top molecule from its Watson A-reduced Hamiltonian (prolate
// representation Ir: z = a, x = b, y = c), diagonalised per J in Wang-symmetrised symmetric-top
// blocks, and the line-strength factors of transitions between levels from the eigenvectors.
#pragma once

#include <vector>

namespace zqdemo {

// Watson A-reduced constants of one vibrational state, in cm-1.
struct RotorConstants {
  double A = 0, B = 0, C = 0;
  double DeltaJ = 0, DeltaJK = 0, DeltaK = 0, deltaJ = 0, deltaK = 0;
  double HJ = 0, HJK = 0, HKJ = 0, HK = 0, hJ = 0, hJK = 0, hK = 0;
};

// One rotational level J(Ka,Kc) with its eigenvector over K = -J..J (index K + J).
struct RotorLevel {
  int J = 0;
  int Ka = 0;
  int Kc = 0;
  double energy = 0; // rotational energy (cm-1), vibrational term not included
  std::vector<double> coefficients;
};

// All levels of one J, ordered by rising tau = Ka - Kc.
std::vector<RotorLevel> RotorLevelsOfJ(const RotorConstants& constants, int J);

// Which molecule-fixed axis the transition dipole lies along.
enum class DipoleAxis { a, b, c };

// Line-strength factor of the transition between two levels for a unit dipole along the given axis:
// (2J'+1)(2J''+1) |sum c' c'' (3j) mu_q|^2, normalised so that summed over every upper level of
// J'' - 1 .. J'' + 1 it gives 2J'' + 1 for each lower level.
double RotorLineStrength(const RotorLevel& upper, const RotorLevel& lower, DipoleAxis axis);

// Wigner 3j symbol (j1 j2 j3; m1 m2 m3) for integer arguments.
double Wigner3j(int j1, int j2, int j3, int m1, int m2, int m3);

} // namespace zqdemo
