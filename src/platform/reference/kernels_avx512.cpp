// The pixel kernels for processors with AVX-512 (foundation and doubleword/quadword
// instructions; chosen at run time).
#define KERNEL_NAMESPACE avx512
#define KERNEL_LANES 16
#include "platform/reference/kernels/kernel_set.inl"
