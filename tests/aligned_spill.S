/* What GCC for Windows may emit for a spill of a 256- or 512-bit register:
   aligned moves to and from a stack slot. tests/check_stack_moves.cmake must
   find them here. */
#if defined(__x86_64__)
#define STACK %rsp
#else
#define STACK %esp
#endif
	.text
	.globl	aligned_spill
aligned_spill:
	vmovapd	%ymm1, 32(STACK)
	vmovdqa64	64(STACK), %zmm2
	ret
