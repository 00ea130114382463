// The pixel kernels for processors with AVX2 (chosen at run time).
#define KERNEL_NAMESPACE avx2
#define KERNEL_LANES 8
#include "platform/reference/kernels/kernel_set.inl"
