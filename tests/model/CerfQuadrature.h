// Re w(x + iy) integrated from libcerf's values by 20-point Gauss-Legendre over pieces short against
// the profile's scale there: the independent reference of the tests of integrated profiles.
#pragma once

#include <algorithm>
#include <cmath>

extern "C" double re_w_of_z(double x, double y); // libcerf

namespace modeltest {

inline double ReWQuadrature(double a, double b, double y) {
  static const double node[10] = {
      0.0765265211334973, 0.2277858511416451, 0.3737060887154195, 0.5108670019508271, 0.6360536807265150,
      0.7463319064601508, 0.8391169718222188, 0.9122344282513259, 0.9639719272779138, 0.9931285991850949};
  static const double weight[10] = {
      0.1527533871307258, 0.1491729864726037, 0.1420961093183820, 0.1316886384491766, 0.1181945319615184,
      0.1019301198172404, 0.0832767415767048, 0.0626720483341091, 0.0406014298003869, 0.0176140071391521};
  double sum = 0;
  for (double t = a; t < b;) {
    const double piece =
        std::max(0.05 * std::min(1.0, y) + 0.002, 0.05 * std::min(std::fabs(t), std::fabs(b)));
    const double e = std::min(b, t + piece), m = (t + e) / 2, h = (e - t) / 2;
    for (int i = 0; i < 10; ++i)
      sum += weight[i] * h * (re_w_of_z(m + h * node[i], y) + re_w_of_z(m - h * node[i], y));
    t = e;
  }
  return sum;
}

} // namespace modeltest
