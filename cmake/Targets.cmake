# simd_targets(PROCESSOR BUILT EXTENDED): the instruction-set targets of
# simd/targets.h's list built for PROCESSOR (a CMAKE_SYSTEM_PROCESSOR), in
# order, into BUILT, and those of them whose code switches on instructions
# beyond the architecture's baseline into EXTENDED.
include_guard(GLOBAL)

set(SIMD_TARGET_LIST ${CMAKE_CURRENT_LIST_DIR}/../simd/targets.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${SIMD_TARGET_LIST})

function(simd_targets processor built extended)
  set(on_any TRUE)
  set(on_x86_64 FALSE)
  set(on_aarch64 FALSE)
  if(processor MATCHES "^(x86_64|AMD64|amd64)$")
    set(on_x86_64 TRUE)
  elseif(processor MATCHES "^(aarch64|arm64|ARM64)$")
    set(on_aarch64 TRUE)
  endif()
  set(on_x86_64_wide ${on_x86_64})
  if(MANIFEST_FLAGS MATCHES "SIMD_NO_WIDE_TARGETS")
    set(on_x86_64_wide FALSE)
  endif()
  # Read whole: file(STRINGS) would keep the lines' continuation backslashes,
  # which escape the separators of the list it makes.
  file(READ ${SIMD_TARGET_LIST} text)
  string(REGEX MATCHALL "\n  T\\([a-z0-9_]+, [a-z0-9_]+, [a-z0-9_]+\\)" entries "${text}")
  set(names "")
  set(wide "")
  foreach(entry IN LISTS entries)
    string(REGEX MATCH "T\\(([a-z0-9_]+), ([a-z0-9_]+), ([a-z0-9_]+)\\)" _ "${entry}")
    if(on_${CMAKE_MATCH_2})
      list(APPEND names ${CMAKE_MATCH_1})
      if(NOT CMAKE_MATCH_3 STREQUAL "none")
        list(APPEND wide ${CMAKE_MATCH_1})
      endif()
    endif()
  endforeach()
  set(${built} ${names} PARENT_SCOPE)
  set(${extended} ${wide} PARENT_SCOPE)
endfunction()
