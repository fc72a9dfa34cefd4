// Lorentz accumulation in three instruction-set versions selected at run time, so the default
// build stays portable. All use fused multiply-adds in the same order; the tail of a run is handled
// with masks rather than a scalar loop.
#include "zqLineKernels.h"

#include <cmath>
#include <immintrin.h>

namespace zqkernel {
namespace {

void lorentz_generic(double* s, long lo, long hi, long m, double step, double r, double sg, double g2) {
  for (long k = lo; k <= hi; ++k) {
    const double d = std::fma(static_cast<double>(k - m), step, r);
    s[k] += sg / std::fma(d, d, g2);
  }
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx2,fma"))) void lorentz_avx2(double* s, long lo, long hi, long m, double step,
                                                      double r, double sg, double g2) {
  const __m256d vstep = _mm256_set1_pd(step), vr = _mm256_set1_pd(r);
  const __m256d vsg = _mm256_set1_pd(sg), vg2 = _mm256_set1_pd(g2);
  const __m256d four = _mm256_set1_pd(4.0);
  __m256d j = _mm256_add_pd(_mm256_set1_pd(static_cast<double>(lo - m)), _mm256_set_pd(3, 2, 1, 0));
  long k = lo;
  for (; k + 3 <= hi; k += 4) {
    const __m256d d = _mm256_fmadd_pd(j, vstep, vr);
    const __m256d t = _mm256_div_pd(vsg, _mm256_fmadd_pd(d, d, vg2));
    _mm256_storeu_pd(s + k, _mm256_add_pd(_mm256_loadu_pd(s + k), t));
    j = _mm256_add_pd(j, four);
  }
  if (k <= hi) {
    const long left = hi - k + 1; // 1..3
    const __m256i mask = _mm256_cmpgt_epi64(_mm256_set1_epi64x(left), _mm256_set_epi64x(3, 2, 1, 0));
    const __m256d d = _mm256_fmadd_pd(j, vstep, vr);
    const __m256d t = _mm256_div_pd(vsg, _mm256_fmadd_pd(d, d, vg2));
    _mm256_maskstore_pd(s + k, mask, _mm256_add_pd(_mm256_maskload_pd(s + k, mask), t));
  }
}

__attribute__((target("avx512f"))) void lorentz_avx512(double* s, long lo, long hi, long m, double step,
                                                       double r, double sg, double g2) {
  const __m512d vstep = _mm512_set1_pd(step), vr = _mm512_set1_pd(r);
  const __m512d vsg = _mm512_set1_pd(sg), vg2 = _mm512_set1_pd(g2);
  const __m512d eight = _mm512_set1_pd(8.0);
  __m512d j =
      _mm512_add_pd(_mm512_set1_pd(static_cast<double>(lo - m)), _mm512_set_pd(7, 6, 5, 4, 3, 2, 1, 0));
  long k = lo;
  for (; k + 7 <= hi; k += 8) {
    const __m512d d = _mm512_fmadd_pd(j, vstep, vr);
    const __m512d t = _mm512_div_pd(vsg, _mm512_fmadd_pd(d, d, vg2));
    _mm512_storeu_pd(s + k, _mm512_add_pd(_mm512_loadu_pd(s + k), t));
    j = _mm512_add_pd(j, eight);
  }
  if (k <= hi) {
    const __mmask8 mask = static_cast<__mmask8>((1u << (hi - k + 1)) - 1u);
    const __m512d d = _mm512_fmadd_pd(j, vstep, vr);
    const __m512d t = _mm512_maskz_div_pd(mask, vsg, _mm512_fmadd_pd(d, d, vg2));
    _mm512_mask_storeu_pd(s + k, mask, _mm512_add_pd(_mm512_maskz_loadu_pd(mask, s + k), t));
  }
}
#endif

int available(LorentzKernel (&out)[3]) {
  int n = 0;
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f")) out[n++] = {lorentz_avx512, "avx512"};
  if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) out[n++] = {lorentz_avx2, "avx2"};
#endif
  out[n++] = {lorentz_generic, "generic"};
  return n;
}

const LorentzKernel& chosen() {
  static const LorentzKernel c = [] {
    LorentzKernel all[3];
    available(all);
    return all[0];
  }();
  return c;
}

} // namespace

void AddLorentz(double* spectrum, long lo, long hi, long m, double step, double r, double sg, double g2) {
  chosen().fn(spectrum, lo, hi, m, step, r, sg, g2);
}

const char* KernelName() {
  return chosen().name;
}

int AvailableKernels(LorentzKernel (&out)[3]) {
  return available(out);
}

} // namespace zqkernel
