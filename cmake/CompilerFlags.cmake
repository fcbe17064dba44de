# Flags shared by every target. Results must be bit-identical to the plain
# scalar definitions: modules.txt lists the code-generation flags that keep
# them so (no fused multiply-add, SSE2 on 32-bit x86) for every build.
include(Manifest)
add_compile_options(-Wall -Wextra ${MANIFEST_FLAGS})
