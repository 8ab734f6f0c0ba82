file(GLOB files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.ini" "${SOURCE_DIR}/*.txt"
     "${SOURCE_DIR}/音效/*")
foreach(f IN LISTS files)
  if(NOT EXISTS "${TARGET_DIR}/${f}")
    get_filename_component(folder "${TARGET_DIR}/${f}" DIRECTORY)
    file(COPY "${SOURCE_DIR}/${f}" DESTINATION "${folder}")
  endif()
endforeach()
