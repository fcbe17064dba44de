# cmake -DOBJDUMP=... -DFILES="a;b" -P check_stack_moves.cmake
#   fails when the machine code of any of FILES moves a 256- or 512-bit
#   register to or from the stack with an aligned move (vmovapd, vmovaps,
#   vmovdqa, vmovdqa32, vmovdqa64). GCC for Windows keeps the stack aligned to
#   16 bytes only, so such a move faults whenever the slot is not 32- or
#   64-byte aligned.
# cmake -DOBJDUMP=... -DCXX=... -DFLAGS="..." -DFIXTURE=... -DWORK=... -P check_stack_moves.cmake
#   checks the check: the fixture, which holds such moves, must fail it when
#   assembled as it stands, and pass when assembled with FLAGS (the build's
#   own), whose assembler option encodes aligned moves as unaligned ones.

include(${CMAKE_CURRENT_LIST_DIR}/disassemble.cmake)

# Lines of aligned wide moves based on the stack or frame pointer in file.
function(aligned_stack_moves file out)
  disassemble(${file} code)
  string(REGEX MATCHALL "[^\n]*vmov(ap[sd]|dqa(32|64)?)[ \t][^\n]*" moves "${code}")
  set(found "")
  foreach(move IN LISTS moves)
    if(move MATCHES "%[yz]mm" AND move MATCHES "\\(%[re][sb]p")
      list(APPEND found "${move}")
    endif()
  endforeach()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

if(DEFINED FIXTURE)
  get_filename_component(name ${FIXTURE} NAME_WE)
  foreach(variant plain flagged)
    set(object ${WORK}/${name}_${variant}.o)
    set(flags "")
    if(variant STREQUAL "flagged")
      set(flags ${FLAGS})
    endif()
    execute_process(COMMAND ${CXX} ${flags} -c ${FIXTURE} -o ${object}
                    RESULT_VARIABLE status ERROR_VARIABLE errors)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "${CXX} could not assemble ${FIXTURE}: ${errors}")
    endif()
    aligned_stack_moves(${object} found_${variant})
  endforeach()
  if(NOT found_plain)
    message(FATAL_ERROR "the check finds no aligned stack move in ${FIXTURE}, which has them")
  endif()
  if(found_flagged)
    list(GET found_flagged 0 first)
    message(FATAL_ERROR "assembled with '${FLAGS}', ${FIXTURE} keeps an aligned stack move: ${first}")
  endif()
  message(STATUS "the check catches the fixture's aligned stack moves; the build's flags remove them")
  return()
endif()

set(failures "")
foreach(file IN LISTS FILES)
  aligned_stack_moves(${file} found)
  if(found)
    list(GET found 0 first)
    string(APPEND failures "${file}: aligned wide move on the stack: ${first}\n")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "${failures}")
endif()
list(LENGTH FILES count)
message(STATUS "${count} modules: no aligned 256- or 512-bit move addresses the stack")
