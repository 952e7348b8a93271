# Run by cpack on the staged tree before it packs it: takes the compilers'
# version notes (.comment) out of the programs, as Debian's dh_strip does;
# cpack's own stripping keeps them.
file(GLOB programs "${CPACK_TEMPORARY_DIRECTORY}/usr/lib/ovlix/ovlix*")
foreach(program ${programs})
  execute_process(COMMAND objcopy --remove-section=.comment ${program} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "objcopy could not take .comment out of ${program}")
  endif()
endforeach()
