// Re w(z) of the Faddeeva function w(z) = exp(-z^2) erfc(-iz), the Voigt profile's shape, and the
// inner loops that add one line's Lorentz, Gauss or Voigt profile to a run of grid points, for the
// HITRAN cross-section and the classic spectrum alike: the program's one kernel dispatch. The kernels
// are chosen once at run time for the processor (AVX-512, AVX2 or plain); every version performs the
// same IEEE operations per point, so a point's value never depends on the version, on how the grid
// was split between threads or on where a vector starts.
//
// Re w(x + iy), y > 0, by three regions of s = |z|^2 = x^2 + y^2:
//   Central  s <  100: Weideman's rational approximation with N = 40 terms (SIAM J. Numer. Anal. 31,
//                      1497 (1994)), relative error below 4e-11 for y >= 1e-4;
//   Mid      100 <= s < 4000: the asymptotic series i/(sqrt(pi) z) sum (2k-1)!!/(2z^2)^k, 7 terms;
//   Far      s >= 4000: the same series, 3 terms.
// Checked against libcerf in the tests (relative error below 1e-8 over 1e-4 <= y <= 1e4 and the
// 200-half-width wings).
#pragma once

namespace zqvoigt {

enum class Region { Central, Mid, Far };
inline constexpr double kMidFrom = 100;  // s where the 7-term series takes over
inline constexpr double kFarFrom = 4000; // s where 3 terms suffice

// The region the kernels use for (x, y).
Region RegionOf(double x, double y);

// Re w(x + iy) for y > 0, with exactly the arithmetic of the kernels.
double ReW(double x, double y);

// The line centre is nu + shift (file position and pressure shift); every kernel forms the distance of
// grid point k as d = (grid[k] - nu) - shift, which keeps full relative precision near the centre.
//
// spectrum[k] += a * Re w(c * d, y) for k = lo .. hi (the Voigt profile of a line with
// a = S sqrt(ln2/pi)/gammaD, c = sqrt(ln2)/gammaD, y = c gammaL).
void AddVoigt(double* spectrum, const double* grid, long lo, long hi, double nu, double shift, double c,
              double y, double a);
// spectrum[k] += sg / (d^2 + g2) (Lorentz: sg = S gammaL / pi, g2 = gammaL^2).
void AddLorentz(double* spectrum, const double* grid, long lo, long hi, double nu, double shift, double sg,
                double g2);
// spectrum[k] += a * exp(-(c * d)^2) (Gauss: a = S sqrt(ln2/pi)/gammaD, c as Voigt).
void AddGauss(double* spectrum, const double* grid, long lo, long hi, double nu, double shift, double c,
              double a);

// The classic spectrum's Lorentz on its evenly spaced grid, with the distance taken from the index:
// spectrum[k] += sg / (g2 + d * d), d = fma(k - m, step, r), for k = lo .. hi. r is the distance of
// grid point m from the line centre, sg = S * gamma, g2 = gamma^2.
void AddGridLorentz(double* spectrum, long lo, long hi, long m, double step, double r, double sg, double g2);

// The name of the version in use ("avx512", "avx2" or "generic"), for benchmark reports.
const char* KernelName();

// Every version this processor can run, the one in use first (tests compare them).
struct TKernelSet {
  void (*Voigt)(double*, const double*, long, long, double, double, double, double, double);
  void (*Lorentz)(double*, const double*, long, long, double, double, double, double);
  void (*GridLorentz)(double*, long, long, long, double, double, double, double);
  const char* Name;
};
int AvailableKernels(TKernelSet (&out)[3]);

} // namespace zqvoigt
