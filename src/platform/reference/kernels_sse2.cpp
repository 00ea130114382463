// The pixel kernels for the SSE2 baseline every x86-64 processor has.
#define KERNEL_NAMESPACE sse2
#define KERNEL_LANES 4
#include "platform/reference/kernels/kernel_set.inl"
