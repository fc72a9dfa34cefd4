// Gauss-Legendre nodes of the column's angular integral.
#include "zqRadiativeTransfer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zqrt {

Quadrature GaussLegendre01(int n) {
  Quadrature q;
  if (n < 1) return q;
  q.Nodes.resize(static_cast<std::size_t>(n));
  q.Weights.resize(static_cast<std::size_t>(n));
  // Roots of P_n by Newton from Tricomi's first guess, in extended precision.
  for (int i = 0; i < (n + 1) / 2; ++i) {
    long double x = std::cos(std::numbers::pi_v<long double> * (i + 0.75L) / (n + 0.5L));
    long double dp = 1;
    for (int iteration = 0; iteration < 100; ++iteration) {
      long double p0 = 1, p1 = x;
      for (int k = 2; k <= n; ++k) {
        const long double p2 = ((2 * k - 1) * x * p1 - (k - 1) * p0) / k;
        p0 = p1;
        p1 = p2;
      }
      if (n == 1) p0 = 1;
      dp = n * (x * p1 - p0) / (x * x - 1);
      const long double dx = p1 / dp;
      x -= dx;
      if (std::fabs(dx) < 1e-19L) break;
    }
    const long double w = 2 / ((1 - x * x) * dp * dp);
    // Map [-1, 1] to [0, 1]: node (1 -+ x) / 2, weight w / 2; ascending order.
    q.Nodes[static_cast<std::size_t>(i)] = static_cast<double>((1 - x) / 2);
    q.Nodes[static_cast<std::size_t>(n - 1 - i)] = static_cast<double>((1 + x) / 2);
    q.Weights[static_cast<std::size_t>(i)] = static_cast<double>(w / 2);
    q.Weights[static_cast<std::size_t>(n - 1 - i)] = static_cast<double>(w / 2);
  }
  return q;
}

} // namespace zqrt
