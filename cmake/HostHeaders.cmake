# keelwright_host_headers(TARGET FOLDER HEADER): the header-only library whose headers lie in FOLDER (the one
# that holds FOLDER/HEADER), as an interface target for a cross build. Its headers are the same for every
# target, so they come from the host; but the host's include folder (/usr/include) must not be added, or
# the cross compiler would take the host's C library headers before its own. So FOLDER alone is copied
# into the build folder, and the target adds that copy.
function(keelwright_host_headers target folder header)
  find_path(KEELWRIGHT_HOST_${folder}_ROOT ${folder}/${header} REQUIRED NO_CMAKE_FIND_ROOT_PATH)
  set(copy ${CMAKE_BINARY_DIR}/host-headers/${folder})
  file(COPY ${KEELWRIGHT_HOST_${folder}_ROOT}/${folder}/ DESTINATION ${copy})
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/host-headers)
endfunction()
