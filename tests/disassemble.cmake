# disassemble(FILE OUT): the machine code of FILE as OBJDUMP prints it, one
# instruction per line (without raw bytes), for the scripts that check it.
function(disassemble file out)
  execute_process(COMMAND ${OBJDUMP} -d --no-show-raw-insn ${file}
                  OUTPUT_VARIABLE code RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} could not read ${file}")
  endif()
  set(${out} "${code}" PARENT_SCOPE)
endfunction()
