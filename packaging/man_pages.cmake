# Writes the man pages of kvr from its own help, so they never disagree with the program:
# kvr.1 from `kvr --help` and `kvr --version` with the sections of kvr.h2m, and one page per
# command (kvr-run.1, ...) from `kvr COMMAND --help`, the commands being those `kvr --help`
# lists.
#
#   cmake -DKVR=path/to/kvr -DHELP2MAN=help2man -DSECTIONS=kvr.h2m -DOUTPUT_DIR=man
#         -P man_pages.cmake
foreach(variable KVR HELP2MAN SECTIONS OUTPUT_DIR)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "man_pages.cmake: ${variable} is not set")
  endif()
endforeach()

execute_process(COMMAND ${KVR} --version OUTPUT_VARIABLE version_text RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT version_text MATCHES "^kvr ([^\n]+)\n")
  message(FATAL_ERROR "man_pages.cmake: '${KVR} --version' gave '${version_text}' (${status})")
endif()
set(version ${CMAKE_MATCH_1})

execute_process(COMMAND ${KVR} --help OUTPUT_VARIABLE help_text RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "man_pages.cmake: '${KVR} --help' failed (${status})")
endif()
# The command lines of the help: two spaces, the name, its arguments, then after two or more
# spaces what it does.
string(REGEX MATCHALL "\n  [a-z]+ [^\n]*" command_lines "${help_text}")
if(NOT command_lines)
  message(FATAL_ERROR "man_pages.cmake: no commands in the help of ${KVR}:\n${help_text}")
endif()

file(REMOVE_RECURSE ${OUTPUT_DIR})
file(MAKE_DIRECTORY ${OUTPUT_DIR})

function(help2man output)
  execute_process(
    COMMAND ${HELP2MAN} --no-info --section=1 --manual=User\ Commands --output=${output} ${ARGN}
            ${KVR}
    RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "man_pages.cmake: help2man failed for ${output}: ${errors}")
  endif()
endfunction()

file(WRITE ${OUTPUT_DIR}/see-kvr.h2m "[SEE ALSO]\n.BR kvr (1)\n")
set(see_also "")
foreach(line IN LISTS command_lines)
  if(NOT line MATCHES "^\n  ([a-z]+) [^\n]*[ ][ ]+([^ \n][^\n]*)$")
    message(FATAL_ERROR "man_pages.cmake: cannot read the command line '${line}'")
  endif()
  set(name ${CMAKE_MATCH_1})
  set(summary ${CMAKE_MATCH_2})
  help2man(${OUTPUT_DIR}/kvr-${name}.1 "--name=${summary}" "--help-option=${name} --help"
           "--version-string=kvr-${name} ${version}" "--include=${OUTPUT_DIR}/see-kvr.h2m")
  string(APPEND see_also ".BR kvr\\-${name} (1),\n")
endforeach()
file(WRITE ${OUTPUT_DIR}/see-commands.h2m
     "[SEE ALSO]\n${see_also}.BR muscle (1),\n.BR mafft (1),\n.BR clustalw (1)\n")
help2man(${OUTPUT_DIR}/kvr.1 "--name=pairwise identity of nucleotide sequences, without a window"
         "--include=${SECTIONS}" "--include=${OUTPUT_DIR}/see-commands.h2m")
file(REMOVE ${OUTPUT_DIR}/see-kvr.h2m ${OUTPUT_DIR}/see-commands.h2m)
