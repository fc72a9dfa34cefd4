// Asymmetric-rotor levels and line strengths. The Hamiltonian couples K only to K and K +- 2, so it
// splits into four Wang blocks (even/odd K, symmetric/antisymmetric in +-K); each block belongs to one
// symmetry species (parities of Ka and Kc), which keeps near-degenerate levels of different species
// from mixing and gives each eigenvector its exact Ka/Kc parities.
#include "zqAsymmetricRotor.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace zqdemo {
namespace {

// Matrix element <J,Kp|H|J,K> of the A-reduced Hamiltonian (Kp = K or K +- 2).
double HamiltonianElement(const RotorConstants& c, int J, int Kp, int K) {
  const double X = double(J) * (J + 1);
  if (Kp == K) {
    const double K2 = double(K) * K;
    return 0.5 * (c.B + c.C) * X + (c.A - 0.5 * (c.B + c.C)) * K2 - c.DeltaJ * X * X - c.DeltaJK * X * K2 -
           c.DeltaK * K2 * K2 + c.HJ * X * X * X + c.HJK * X * X * K2 + c.HKJ * X * K2 * K2 +
           c.HK * K2 * K2 * K2;
  }
  if (std::abs(Kp - K) != 2) return 0.0;
  const int k = std::min(Kp, K); // the element is symmetric; evaluate as <k+2|..|k>
  const double f = 0.5 * std::sqrt((X - double(k) * (k + 1)) * (X - double(k + 1) * (k + 2)));
  const double k2 = double(k) * k;
  const double kk2 = double(k + 2) * (k + 2);
  const double sumK2 = k2 + kk2;
  const double sumK4 = k2 * k2 + kk2 * kk2;
  return f * (0.5 * (c.B - c.C) - 2.0 * c.deltaJ * X - c.deltaK * sumK2 + 2.0 * c.hJ * X * X +
              c.hJK * X * sumK2 + c.hK * sumK4);
}

// Cyclic Jacobi diagonalisation of a small symmetric matrix (row-major, n x n). Returns the
// eigenvalues; the eigenvectors are the columns of vectors.
std::vector<double> jacobi_eigen(std::vector<double> a, int n, std::vector<double>& vectors) {
  vectors.assign(std::size_t(n) * n, 0.0);
  for (int i = 0; i < n; ++i)
    vectors[std::size_t(i) * n + i] = 1.0;
  auto at = [n](std::vector<double>& m, int r, int c) -> double& { return m[std::size_t(r) * n + c]; };
  for (int sweep = 0; sweep < 100; ++sweep) {
    double off = 0.0;
    for (int p = 0; p < n; ++p)
      for (int q = p + 1; q < n; ++q)
        off += at(a, p, q) * at(a, p, q);
    if (off < 1e-26) break;
    for (int p = 0; p < n; ++p) {
      for (int q = p + 1; q < n; ++q) {
        const double apq = at(a, p, q);
        if (std::fabs(apq) < 1e-300) continue;
        const double theta = (at(a, q, q) - at(a, p, p)) / (2.0 * apq);
        const double t = (theta >= 0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
        const double cs = 1.0 / std::sqrt(t * t + 1.0);
        const double sn = t * cs;
        for (int k = 0; k < n; ++k) {
          const double akp = at(a, k, p);
          const double akq = at(a, k, q);
          at(a, k, p) = cs * akp - sn * akq;
          at(a, k, q) = sn * akp + cs * akq;
        }
        for (int k = 0; k < n; ++k) {
          const double apk = at(a, p, k);
          const double aqk = at(a, q, k);
          at(a, p, k) = cs * apk - sn * aqk;
          at(a, q, k) = sn * apk + cs * aqk;
        }
        for (int k = 0; k < n; ++k) {
          const double vkp = at(vectors, k, p);
          const double vkq = at(vectors, k, q);
          at(vectors, k, p) = cs * vkp - sn * vkq;
          at(vectors, k, q) = sn * vkp + cs * vkq;
        }
      }
    }
  }
  std::vector<double> values(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    values[std::size_t(i)] = at(a, i, i);
  return values;
}

double log_factorial(int n) {
  return std::lgamma(double(n) + 1.0);
}

} // namespace

std::vector<RotorLevel> RotorLevelsOfJ(const RotorConstants& c, int J) {
  if (J < 0) throw std::invalid_argument("negative J");
  std::vector<RotorLevel> levels;
  const double root2 = std::sqrt(2.0);
  for (int kParity = 0; kParity < 2; ++kParity) {
    for (int sign = 1; sign >= -1; sign -= 2) {
      // Wang basis of this block: K >= 0 of the given parity; K = 0 only in the symmetric block.
      std::vector<int> ks;
      for (int K = kParity; K <= J; K += 2)
        if (K > 0 || sign == 1) ks.push_back(K);
      const int n = int(ks.size());
      if (n == 0) continue;
      std::vector<double> h(std::size_t(n) * n, 0.0);
      for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
          const int Ki = ks[std::size_t(i)];
          const int Kj = ks[std::size_t(j)];
          double v;
          if (Ki == 0 && Kj == 0)
            v = HamiltonianElement(c, J, 0, 0);
          else if (Ki == 0 || Kj == 0)
            v = root2 * HamiltonianElement(c, J, Ki, Kj);
          else
            v = HamiltonianElement(c, J, Ki, Kj) + sign * HamiltonianElement(c, J, Ki, -Kj);
          h[std::size_t(i) * n + j] = v;
        }
      }
      std::vector<double> vectors;
      const std::vector<double> values = jacobi_eigen(h, n, vectors);

      // Labels of this symmetry species in rising tau; the block's levels take them in rising energy.
      const int kcParity = (J + (sign == 1 ? 0 : 1) + kParity) % 2;
      std::vector<std::pair<int, int>> labels;
      for (int Ka = kParity; Ka <= J; Ka += 2)
        for (int Kc = J - Ka; Kc <= J + 1 - Ka && Kc <= J; ++Kc)
          if (Kc >= 0 && Kc % 2 == kcParity) labels.emplace_back(Ka, Kc);
      std::sort(labels.begin(), labels.end(),
                [](auto x, auto y) { return x.first - x.second < y.first - y.second; });
      if (int(labels.size()) != n) throw std::logic_error("asymmetric rotor: block and labels disagree");

      std::vector<int> order(static_cast<std::size_t>(n));
      for (int i = 0; i < n; ++i)
        order[std::size_t(i)] = i;
      std::sort(order.begin(), order.end(),
                [&](int x, int y) { return values[std::size_t(x)] < values[std::size_t(y)]; });
      for (int r = 0; r < n; ++r) {
        const int col = order[std::size_t(r)];
        RotorLevel level;
        level.J = J;
        level.Ka = labels[std::size_t(r)].first;
        level.Kc = labels[std::size_t(r)].second;
        level.energy = values[std::size_t(col)];
        level.coefficients.assign(std::size_t(2 * J + 1), 0.0);
        for (int i = 0; i < n; ++i) {
          const double v = vectors[std::size_t(i) * n + col];
          const int K = ks[std::size_t(i)];
          if (K == 0) {
            level.coefficients[std::size_t(J)] = v;
          } else {
            level.coefficients[std::size_t(J + K)] = v / root2;
            level.coefficients[std::size_t(J - K)] = sign * v / root2;
          }
        }
        levels.push_back(std::move(level));
      }
    }
  }
  std::sort(levels.begin(), levels.end(),
            [](const RotorLevel& x, const RotorLevel& y) { return x.Ka - x.Kc < y.Ka - y.Kc; });
  return levels;
}

double Wigner3j(int j1, int j2, int j3, int m1, int m2, int m3) {
  if (m1 + m2 + m3 != 0) return 0.0;
  if (j3 < std::abs(j1 - j2) || j3 > j1 + j2) return 0.0;
  if (std::abs(m1) > j1 || std::abs(m2) > j2 || std::abs(m3) > j3) return 0.0;
  const double logTriangle = log_factorial(j1 + j2 - j3) + log_factorial(j1 - j2 + j3) +
                             log_factorial(-j1 + j2 + j3) - log_factorial(j1 + j2 + j3 + 1);
  const double logMs = log_factorial(j1 + m1) + log_factorial(j1 - m1) + log_factorial(j2 + m2) +
                       log_factorial(j2 - m2) + log_factorial(j3 + m3) + log_factorial(j3 - m3);
  const int kMin = std::max({0, j2 - j3 - m1, j1 - j3 + m2});
  const int kMax = std::min({j1 + j2 - j3, j1 - m1, j2 + m2});
  double sum = 0.0;
  for (int k = kMin; k <= kMax; ++k) {
    const double logDen = log_factorial(k) + log_factorial(j3 - j2 + k + m1) +
                          log_factorial(j3 - j1 + k - m2) + log_factorial(j1 + j2 - j3 - k) +
                          log_factorial(j1 - k - m1) + log_factorial(j2 - k + m2);
    const double term = std::exp(0.5 * (logTriangle + logMs) - logDen);
    sum += (k % 2 == 0) ? term : -term;
  }
  const int phase = j1 - j2 - m3;
  return (phase % 2 == 0) ? sum : -sum;
}

double RotorLineStrength(const RotorLevel& upper, const RotorLevel& lower, DipoleAxis axis) {
  const int Jp = upper.J;
  const int Jpp = lower.J;
  if (std::abs(Jp - Jpp) > 1 || (Jp == 0 && Jpp == 0)) return 0.0;
  // Spherical components of a unit dipole along the axis: a = z (q = 0), b = x, c = y (q = +-1).
  // For c the common factor -i/sqrt(2) drops out of the squared modulus.
  double sum = 0.0;
  for (int Kpp = -Jpp; Kpp <= Jpp; ++Kpp) {
    const double cpp = lower.coefficients[std::size_t(Jpp + Kpp)];
    if (cpp == 0.0) continue;
    for (int q = -1; q <= 1; ++q) {
      double mu;
      if (axis == DipoleAxis::a)
        mu = (q == 0) ? 1.0 : 0.0;
      else if (axis == DipoleAxis::b)
        mu = (q == 0) ? 0.0 : -q / std::sqrt(2.0);
      else
        mu = (q == 0) ? 0.0 : 1.0 / std::sqrt(2.0);
      if (mu == 0.0) continue;
      const int Kp = Kpp + q;
      if (Kp < -Jp || Kp > Jp) continue;
      const double cp = upper.coefficients[std::size_t(Jp + Kp)];
      if (cp == 0.0) continue;
      const double phase = ((Jp - Kp) % 2 == 0) ? 1.0 : -1.0;
      sum += cp * cpp * phase * Wigner3j(Jp, 1, Jpp, -Kp, q, Kpp) * mu;
    }
  }
  return double(2 * Jp + 1) * double(2 * Jpp + 1) * sum * sum;
}

} // namespace zqdemo
