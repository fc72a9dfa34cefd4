// The inner loops of the broadened spectrum: one line's profile added to a run of grid points. Chosen
// once at run time for the processor (AVX-512, AVX2 or plain), every version computes each point with
// the same operations, so a point's value never depends on how the grid was split or vectorised.
#pragma once

namespace zqkernel {

// spectrum[k] += sg / (g2 + d * d) with d = fma(k - m, step, r), for k = lo .. hi. r is the
// distance of grid point m from the line centre, sg = S * gamma, g2 = gamma^2.
void AddLorentz(double* spectrum, long lo, long hi, long m, double step, double r, double sg, double g2);

// The name of the version in use ("avx512", "avx2" or "generic"), for benchmark reports.
const char* KernelName();

// Every version this processor can run, the one in use first (tests compare them).
using LorentzFn = void (*)(double*, long, long, long, double, double, double, double);
struct LorentzKernel {
  LorentzFn fn;
  const char* name;
};
int AvailableKernels(LorentzKernel (&out)[3]);

} // namespace zqkernel
