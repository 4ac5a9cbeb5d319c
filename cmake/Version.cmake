# Writes OUTPUT from src/KeelwrightVersion.h.in: the project version VERSION and the git commit of SOURCE_DIR when it
# is a clone (empty otherwise). Run at every build; configure_file rewrites the header only when it changes,
# so that only the programs' main files are compiled again after a commit.
find_package(Git QUIET)
set(KEELWRIGHT_GIT_COMMIT "")
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} rev-parse --short=12 HEAD
    OUTPUT_VARIABLE commit RESULT_VARIABLE status OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(status EQUAL 0)
    set(KEELWRIGHT_GIT_COMMIT ${commit})
  endif()
endif()
set(KEELWRIGHT_VERSION ${VERSION})
configure_file(${SOURCE_DIR}/src/KeelwrightVersion.h.in ${OUTPUT} @ONLY)
