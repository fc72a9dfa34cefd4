// The line kernels (Faddeeva/Voigt, Lorentz on any grid, Lorentz on the classic grid) in three
// instruction-set versions selected at run time: the program's one kernel dispatch. The loops are written
// once (zqFaddeevaBody.inc) and instantiated per version with a lane type; the plain version uses
// std::fma where the vector versions fuse, so all three give the same bits.
#include "zqFaddeeva.h"

#include <cmath>
#include <numbers>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZQ_X86 1
#endif

namespace zqvoigt {
namespace {

constexpr double kInvSqrtPi = std::numbers::inv_sqrtpi;

// Series coefficients (2k-1)!! / 2^k, divided by sqrt(pi).
constexpr double kSeries[] = {
    kInvSqrtPi,          0.5 * kInvSqrtPi,      0.75 * kInvSqrtPi,      1.875 * kInvSqrtPi,
    6.5625 * kInvSqrtPi, 29.53125 * kInvSqrtPi, 162.421875 * kInvSqrtPi};
constexpr int kMidTerms = 7;
constexpr int kFarTerms = 3;

// Weideman's N = 40 approximation: L = sqrt(N / sqrt(2)) and the coefficients a_N .. a_1 (highest
// power of Z first), from the 160-point discrete Fourier transform of exp(-t^2)(L^2 + t^2) at
// t = L tan(theta / 2), computed in extended precision.
constexpr double kWeidemanL = 5.3182958969449885;
constexpr int kWeidemanTerms = 40;
constexpr double kWeideman[kWeidemanTerms] = {
    -1.899598497918754e-15,  1.1280296900555153e-15,  1.1357631686265829e-14,  -5.4093082552282568e-15,
    -7.0740860543504205e-14, 1.372562816442241e-14,   4.5329662874855905e-13,  1.2031463878566657e-13,
    -2.9076883262257879e-12, -2.7276023074288698e-12, 1.7714495229850454e-11,  3.4727267068934697e-11,
    -9.0551244557061586e-11, -3.5632339863531268e-10, 2.1086006351351758e-10,  3.0177805401192073e-09,
    3.2497465180989471e-09,  -1.8315616783014071e-08, -6.3517734850255207e-08, 1.419864239998259e-08,
    5.9121369518999687e-07,  1.4835661132201111e-06,  -1.0660138984945849e-06, -1.8007447144750953e-05,
    -5.5913092642483235e-05, -3.9393631454895731e-05, 0.00043980701598696681,  0.0027054056330737914,
    0.010048186242783424,    0.029202916471241867,    0.071823617790743366,    0.15504263802479495,
    0.29989437996150065,     0.5266528988277086,      0.84721745765938183,     1.2563815675765133,
    1.7253830848179779,      2.2015137948783119,      2.6160541527618602,      2.8996245093897053};

// One lane: the reference arithmetic every vector version reproduces.
struct Scalar {
  using D = double;
  using M = bool;
  static constexpr long kLanes = 1;
  static D set(double v) { return v; }
  static D iota() { return 0; }
  static D add(D a, D b) { return a + b; }
  static D sub(D a, D b) { return a - b; }
  static D mul(D a, D b) { return a * b; }
  static D div(D a, D b) { return a / b; }
  static D fma(D a, D b, D c) { return std::fma(a, b, c); }
  static D fnma(D a, D b, D c) { return std::fma(-a, b, c); }
  static M ge(D a, D b) { return a >= b; }
  static bool all(M m) { return m; }
  static bool any(M m) { return m; }
  static D select(M m, D a, D b) { return m ? a : b; }
  static D load(const double* p) { return *p; }
  static void store(double* p, D v) { *p = v; }
  static bool first(long) { return true; }
  static D load(const double* p, bool) { return *p; }
  static void store(double* p, bool, D v) { *p = v; }
};

namespace generic {
using V = Scalar;
using D = V::D;
using M = V::M;
#include "zqFaddeevaBody.inc"
} // namespace generic

#ifdef ZQ_X86
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2,fma"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,fma")
#endif
namespace avx2 {
struct V {
  using D = __m256d;
  using M = __m256d;
  static constexpr long kLanes = 4;
  static D set(double v) { return _mm256_set1_pd(v); }
  static D iota() { return _mm256_set_pd(3, 2, 1, 0); }
  static D add(D a, D b) { return _mm256_add_pd(a, b); }
  static D sub(D a, D b) { return _mm256_sub_pd(a, b); }
  static D mul(D a, D b) { return _mm256_mul_pd(a, b); }
  static D div(D a, D b) { return _mm256_div_pd(a, b); }
  static D fma(D a, D b, D c) { return _mm256_fmadd_pd(a, b, c); }
  static D fnma(D a, D b, D c) { return _mm256_fnmadd_pd(a, b, c); }
  static M ge(D a, D b) { return _mm256_cmp_pd(a, b, _CMP_GE_OQ); }
  static bool all(M m) { return _mm256_movemask_pd(m) == 0xF; }
  static bool any(M m) { return _mm256_movemask_pd(m) != 0; }
  static D select(M m, D a, D b) { return _mm256_blendv_pd(b, a, m); }
  static D load(const double* p) { return _mm256_loadu_pd(p); }
  static void store(double* p, D v) { _mm256_storeu_pd(p, v); }
  static __m256i first(long n) {
    return _mm256_cmpgt_epi64(_mm256_set1_epi64x(n), _mm256_set_epi64x(3, 2, 1, 0));
  }
  static D load(const double* p, __m256i m) { return _mm256_maskload_pd(p, m); }
  static void store(double* p, __m256i m, D v) { _mm256_maskstore_pd(p, m, v); }
};
using D = V::D;
using M = V::M;
#include "zqFaddeevaBody.inc"
} // namespace avx2
#if defined(__clang__)
#pragma clang attribute pop
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC pop_options
#pragma GCC push_options
#pragma GCC target("avx512f")
#endif
namespace avx512 {
struct V {
  using D = __m512d;
  using M = __mmask8;
  static constexpr long kLanes = 8;
  static D set(double v) { return _mm512_set1_pd(v); }
  static D iota() { return _mm512_set_pd(7, 6, 5, 4, 3, 2, 1, 0); }
  static D add(D a, D b) { return _mm512_add_pd(a, b); }
  static D sub(D a, D b) { return _mm512_sub_pd(a, b); }
  static D mul(D a, D b) { return _mm512_mul_pd(a, b); }
  static D div(D a, D b) { return _mm512_div_pd(a, b); }
  static D fma(D a, D b, D c) { return _mm512_fmadd_pd(a, b, c); }
  static D fnma(D a, D b, D c) { return _mm512_fnmadd_pd(a, b, c); }
  static M ge(D a, D b) { return _mm512_cmp_pd_mask(a, b, _CMP_GE_OQ); }
  static bool all(M m) { return m == 0xFF; }
  static bool any(M m) { return m != 0; }
  static D select(M m, D a, D b) { return _mm512_mask_blend_pd(m, b, a); }
  static D load(const double* p) { return _mm512_loadu_pd(p); }
  static void store(double* p, D v) { _mm512_storeu_pd(p, v); }
  static __mmask8 first(long n) { return static_cast<__mmask8>((1u << n) - 1u); }
  static D load(const double* p, __mmask8 m) { return _mm512_maskz_loadu_pd(m, p); }
  static void store(double* p, __mmask8 m, D v) { _mm512_mask_storeu_pd(p, m, v); }
};
using D = V::D;
using M = V::M;
#include "zqFaddeevaBody.inc"
} // namespace avx512
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif

int available(TKernelSet (&out)[3]) {
  int n = 0;
#ifdef ZQ_X86
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f"))
    out[n++] = {avx512::add_voigt, avx512::add_lorentz, avx512::add_grid_lorentz, "avx512"};
  if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
    out[n++] = {avx2::add_voigt, avx2::add_lorentz, avx2::add_grid_lorentz, "avx2"};
#endif
  out[n++] = {generic::add_voigt, generic::add_lorentz, generic::add_grid_lorentz, "generic"};
  return n;
}

const TKernelSet& chosen() {
  static const TKernelSet c = [] {
    TKernelSet all[3];
    available(all);
    return all[0];
  }();
  return c;
}

} // namespace

namespace {

// Coefficients of P(Z) = sum b_i Z^(i+1), b_i = a_i / (i + 1), a_i the coefficient of Z^i in p.
struct WeidemanIntegral {
  double b[kWeidemanTerms];
  constexpr WeidemanIntegral() : b() {
    for (int i = 0; i < kWeidemanTerms; ++i)
      b[i] = kWeideman[kWeidemanTerms - 1 - i] / (i + 1);
  }
};
constexpr WeidemanIntegral kWeidemanIntegral;

// Im P(Z) at x + iy, Z = (L - y + ix) / (L + y - ix) = ((L^2 - y^2 - x^2) + 2iLx) / ((L + y)^2 + x^2).
double weideman_im_p(double x, double y) {
  const double ly = kWeidemanL + y;
  const double q = 1 / (ly * ly + x * x);
  const double zr = ((kWeidemanL - y) * ly - x * x) * q, zi = 2 * kWeidemanL * x * q;
  double pr = kWeidemanIntegral.b[kWeidemanTerms - 1], pi = 0;
  for (int i = kWeidemanTerms - 2; i >= 0; --i) {
    const double r = pr * zr - pi * zi + kWeidemanIntegral.b[i];
    pi = pr * zi + pi * zr;
    pr = r;
  }
  // P = Z (b_0 + Z (b_1 + ...)): the last multiplication by Z.
  return pr * zi + pi * zr;
}

// Im of sum_{k=1}^{terms-1} c_k / (2k sqrt(pi)) u^k, u = 1/z^2, at x + iy.
template <int terms> double series_im_q(double x, double y) {
  const double q = 1 / (x * x + y * y);
  const double zr = x * q, zi = -y * q; // 1/z
  const double ur = zr * zr - zi * zi, ui = 2 * zr * zi;
  double pr = kSeries[terms - 1] / (2 * (terms - 1)), pi = 0;
  for (int k = terms - 2; k >= 1; --k) {
    const double r = pr * ur - pi * ui + kSeries[k] / (2 * k);
    pi = pr * ui + pi * ur;
    pr = r;
  }
  return pr * ui + pi * ur;
}

// atan(xb / a) - atan(xa / a) for a > 0, xa < xb, as one arctangent: exact in both wings. The angle
// lies in (0, pi), so atan2 keeps its branch.
double atan_difference(double xa, double xb, double a) {
  return std::atan2(a * (xb - xa), a * a + xa * xb);
}

Region region_between(double xa, double xb, double y) {
  return RegionOf(xa > 0 ? xa : xb < 0 ? -xb : 0, y);
}

} // namespace

double ReWIntegral(double xa, double xb, double y) {
  if (!(xa < xb)) return 0;
  switch (region_between(xa, xb, y)) {
  case Region::Far:
    return atan_difference(xa, xb, y) * kSeries[0] +
           (series_im_q<kFarTerms>(xb, y) - series_im_q<kFarTerms>(xa, y));
  case Region::Mid:
    return atan_difference(xa, xb, y) * kSeries[0] +
           (series_im_q<kMidTerms>(xb, y) - series_im_q<kMidTerms>(xa, y));
  case Region::Central:
    break;
  }
  return atan_difference(xa, xb, kWeidemanL + y) * kInvSqrtPi +
         (weideman_im_p(xb, y) - weideman_im_p(xa, y)) / kWeidemanL;
}

Region IntervalRegion(double xa, double xb, double y) {
  return region_between(xa, xb, y);
}

double ReWCumulative(double x, double y, Region region) {
  // Re (i/sqrt(pi)) log z = -arg(z) / sqrt(pi) = (atan(x/y) - pi/2) / sqrt(pi); Weideman's lead term is
  // atan(x / (L + y)) / sqrt(pi). Both are taken from -pi/2 / sqrt(pi) at x = -infinity, where the
  // polynomial parts vanish (Z = -1, u = 0).
  constexpr double kHalfSqrtPi = 0.5 * std::numbers::pi * kInvSqrtPi;
  switch (region) {
  case Region::Far:
    return std::atan(x / y) * kSeries[0] + kHalfSqrtPi + series_im_q<kFarTerms>(x, y);
  case Region::Mid:
    return std::atan(x / y) * kSeries[0] + kHalfSqrtPi + series_im_q<kMidTerms>(x, y);
  case Region::Central:
    break;
  }
  return std::atan(x / (kWeidemanL + y)) * kInvSqrtPi + kHalfSqrtPi + weideman_im_p(x, y) / kWeidemanL;
}

Region RegionOf(double x, double y) {
  const double s = std::fma(x, x, y * y);
  return s >= kFarFrom ? Region::Far : s >= kMidFrom ? Region::Mid : Region::Central;
}

double ReW(double x, double y) {
  return generic::re_w(x, y);
}

void AddVoigt(double* spectrum, const double* grid, long lo, long hi, double nu, double shift, double c,
              double y, double a) {
  chosen().Voigt(spectrum, grid, lo, hi, nu, shift, c, y, a);
}

void AddLorentz(double* spectrum, const double* grid, long lo, long hi, double nu, double shift, double sg,
                double g2) {
  chosen().Lorentz(spectrum, grid, lo, hi, nu, shift, sg, g2);
}

void AddGridLorentz(double* spectrum, long lo, long hi, long m, double step, double r, double sg, double g2) {
  chosen().GridLorentz(spectrum, lo, hi, m, step, r, sg, g2);
}

void AddGauss(double* spectrum, const double* grid, long lo, long hi, double nu, double shift, double c,
              double a) {
  for (long k = lo; k <= hi; ++k) {
    const double x = ((grid[k] - nu) - shift) * c;
    // exp(-746) and below are 0 in a double: skipping them changes no bit.
    if (x * x < 746) spectrum[k] = std::fma(a, std::exp(-(x * x)), spectrum[k]);
  }
}

const char* KernelName() {
  return chosen().Name;
}

int AvailableKernels(TKernelSet (&out)[3]) {
  return available(out);
}

} // namespace zqvoigt
