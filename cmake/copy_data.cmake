# Copies the data files from SOURCE to TARGET; the settings files that the program
# writes itself are copied only when the target has none.
file(GLOB data_files "${SOURCE}/*")
foreach(path ${data_files})
  get_filename_component(name "${path}" NAME)
  if(name STREQUAL "commands.set" OR name STREQUAL "filelist.ini")
    if(NOT EXISTS "${TARGET}/${name}")
      file(COPY "${path}" DESTINATION "${TARGET}")
    endif()
  else()
    file(COPY_FILE "${path}" "${TARGET}/${name}" ONLY_IF_DIFFERENT)
  endif()
endforeach()
