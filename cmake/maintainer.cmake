# Who answers for the programs' package: KVR_MAINTAINER, "Name <address>". Unless given, it comes
# from DEBFULLNAME and DEBEMAIL, as Debian's tools take it, else from git's user.name and
# user.email. scripts/package writes it into the package and refuses to go on without one.
set(maintainer "")
if(DEFINED ENV{DEBFULLNAME} AND DEFINED ENV{DEBEMAIL})
  set(maintainer "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
else()
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} config user.name WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE git_name OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    execute_process(COMMAND ${GIT_EXECUTABLE} config user.email WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE git_email OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(git_name AND git_email)
      set(maintainer "${git_name} <${git_email}>")
    endif()
  endif()
endif()
set(KVR_MAINTAINER "${maintainer}" CACHE STRING
    "The package's maintainer, \"Name <address>\" (default: DEBFULLNAME and DEBEMAIL, else git's user)")
