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

// The integral of Re w(t + iy) dt from xa to xb (y > 0; 0 unless xa < xb): divided by sqrt(pi), the
// share of a unit-area Voigt profile's area between the two points. Each approximation of the kernels
// is integrated in closed form, chosen by the region of the point of [xa, xb] nearest the centre:
//   Central: Weideman's w = 2 p(Z) / (L - iz)^2 + 1 / (sqrt(pi) (L - iz)), Z = (L + iz) / (L - iz), has
//            the antiderivative i (log(L - iz) / sqrt(pi) - P(Z) / L), P' = p, P(0) = 0; its real part
//            is atan(x / (L + y)) / sqrt(pi) + Im P(Z) / L, and over the whole line it gives sqrt(pi)
//            exactly, whatever the coefficients;
//   Mid, Far: the series i/sqrt(pi) sum c_k z^-(2k+1) term by term, i/sqrt(pi) (log z - sum_k>0 c_k
//            z^-2k / 2k).
// The arctangent parts are taken as one arctangent of the difference, so a far cell keeps its
// relative precision.
double ReWIntegral(double xa, double xb, double y);
// The region ReWIntegral uses for [xa, xb]: that of its point nearest x = 0.
Region IntervalRegion(double xa, double xb, double y);
// The integral of Re w(t + iy) dt from -infinity to x by the approximation of region (0 .. sqrt(pi)):
// over a run of cells that all lie in region or beyond, the differences of one evaluation per edge give
// ReWIntegral of each to within a few 1e-16 of sqrt(pi) (no relative precision in far wings).
double ReWCumulative(double x, double y, Region region);

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
