# objdump(FILE OUT ARGS...): what OBJDUMP prints for FILE with ARGS.
# disassemble(FILE OUT): the machine code of FILE, one instruction per line
# (without raw bytes), for the scripts that check it.
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
