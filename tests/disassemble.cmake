# objdump(FILE OUT ARGS...): what OBJDUMP prints for FILE with ARGS.
# disassemble(FILE OUT): the machine code of FILE, one instruction per line
# (without raw bytes), for the scripts that check it.
# check_each(CHECK SUMMARY FILE...): calls CHECK(FILE OUT) on every file,
# which sets OUT to what is wrong with it, one line each ("" when nothing);
# fails with every line, or reports "COUNT SUMMARY".
function(objdump file out)
  execute_process(COMMAND ${OBJDUMP} ${ARGN} ${file} OUTPUT_VARIABLE text RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} could not read ${file}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(disassemble file out)
  objdump(${file} code -d --no-show-raw-insn)
  set(${out} "${code}" PARENT_SCOPE)
endfunction()

function(check_each check summary)
  set(failures "")
  foreach(file IN LISTS ARGN)
    cmake_language(CALL ${check} ${file} found)
    string(APPEND failures "${found}")
  endforeach()
  if(failures)
    message(FATAL_ERROR "${failures}")
  endif()
  list(LENGTH ARGN count)
  message(STATUS "${count} ${summary}")
endfunction()
