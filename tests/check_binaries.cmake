# cmake -DOBJDUMP=... -DPROCESSOR=... -DFORMAT=ELF|PE -DOBJECTS="a.o;..."
#       -DMODULES="a.mexa64;..." -DEXTENDED="avx2;..." -P check_binaries.cmake
#
# Reads the built modules and the object code they are linked from, without
# running anything, and fails when
#  - a module exports anything but mexFunction, or (Windows) imports a DLL
#    other than Windows' own, the C runtime and the matrix interface;
#  - our object code holds a fused multiply-add: results must round after
#    every operation, so the compiler may never contract a*b+c, whatever
#    the flags;
#  - on 32-bit x86, our object code does arithmetic in the x87 unit, whose
#    wider registers would round differently from SSE2;
#  - on x86-64, a function outside the variants of the targets that switch
#    instructions on (EXTENDED, from simd/targets.h: namespaces simd_avx2,
#    simd_avx512) uses 256- or 512-bit registers: such code would
#    stop with an illegal instruction on an x86-64 CPU without them, for
#    instance when the linker keeps the copy of an inline function that a
#    variant built with wider instructions.
# The object files are read rather than the modules: they name every
# function (release DLLs keep no names), and they hold our code alone, not
# the runtime libraries linked in with it.
cmake_minimum_required(VERSION 3.25)
set(failures "")

include(${CMAKE_CURRENT_LIST_DIR}/disassemble.cmake)

foreach(module IN LISTS MODULES)
  get_filename_component(name ${module} NAME)
  if(FORMAT STREQUAL "PE")
    objdump(${module} table -p)
    string(REGEX MATCHALL "\n\t\\[ *[0-9]+\\] \\+base" entries "${table}")
    string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(\t[^\n]*\n)*" names "${table}")
    string(REGEX MATCHALL "\t\\[ *[0-9]+\\] [^\n]+" names "${names}")
    list(TRANSFORM names REPLACE "^\t\\[ *[0-9]+\\] " "")
    list(LENGTH entries count)
    if(NOT count EQUAL 1 OR NOT names STREQUAL "mexFunction")
      string(APPEND failures "${name}: exports ${count} entries (${names}), not mexFunction alone\n")
    endif()
    string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${table}")
    string(TOLOWER "${imports}" imports)
    foreach(lib libmx.dll libmex.dll)
      if(NOT "dll name: ${lib}" IN_LIST imports)
        string(APPEND failures "${name}: does not import ${lib}\n")
      endif()
    endforeach()
    # ole32 is the identifier service mintid asks for a GUID.
    list(REMOVE_ITEM imports "dll name: kernel32.dll" "dll name: msvcrt.dll" "dll name: ole32.dll"
         "dll name: libmx.dll" "dll name: libmex.dll")
    if(imports)
      string(APPEND failures "${name}: needs more than Windows and the matrix interface: ${imports}\n")
    endif()
  else()
    objdump(${module} symbols -T)
    string(REGEX MATCHALL "\n[0-9a-f]+ [^\n]*" symbols "${symbols}")
    set(exports "")
    foreach(symbol IN LISTS symbols)
      # Imports are undefined; local entries (the section symbols arm64
      # linkers add) export nothing.
      if(NOT symbol MATCHES "\\*UND\\*|^\n[0-9a-f]+ l" AND symbol MATCHES " ([^ ]+)$")
        list(APPEND exports ${CMAKE_MATCH_1})
      endif()
    endforeach()
    if(NOT exports STREQUAL "mexFunction")
      string(APPEND failures "${name}: exports ${exports}, not mexFunction alone\n")
    endif()
  endif()
endforeach()

if(PROCESSOR MATCHES "^(aarch64|arm64)")
  set(fused "[^\n]*\t(fn?m(add|sub)|fml[as])[ \t][^\n]*")
else()
  set(fused "[^\n]*\tvfn?m(add|sub)[0-9a-z]*[^\n]*")
endif()
set(x87 "[^\n]*\tfi?(add|sub|subr|mul|div|divr)[pls]?[ \t][^\n]*|[^\n]*\tf(sqrt|prem1?|scale|rndint|yl2x|yl2xp1|2xm1|sin|cos|sincos|ptan|patan)[^\n]*")
foreach(object IN LISTS OBJECTS)
  get_filename_component(name ${object} NAME)
  disassemble(${object} code)
  string(REGEX MATCH "${fused}" found "${code}")
  if(found)
    string(APPEND failures "${name}: fused multiply-add: ${found}\n")
  endif()
  if(PROCESSOR MATCHES "^(i.86|x86)$")
    string(REGEX MATCH "${x87}" found "${code}")
    if(found)
      string(APPEND failures "${name}: x87 arithmetic: ${found}\n")
    endif()
  endif()
  if(PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
    string(JOIN "|" extended ${EXTENDED})
    # One entry per function: its name, then its instructions.
    string(REPLACE ";" "," code "${code}")
    string(REGEX REPLACE "\n[0-9a-f]+ <" ";<" functions "${code}")
    foreach(function IN LISTS functions)
      if(function MATCHES "%[yz]mm" AND NOT function MATCHES "^<[^>]*simd_(${extended})")
        string(REGEX MATCH "^<[^>]*>" fn "${function}")
        string(APPEND failures "${name}: ${fn} uses wide vector registers\n")
      endif()
    endforeach()
  endif()
endforeach()

if(failures)
  message(FATAL_ERROR "${failures}")
endif()
list(LENGTH MODULES modules)
list(LENGTH OBJECTS objects)
message(STATUS "${modules} modules export mexFunction alone and import only what they may; "
               "${objects} object files: no fused multiply-add, no x87 arithmetic, "
               "wide registers only in wide variants")
