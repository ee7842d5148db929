# Creates each of FILES in FOLDER as an empty file unless it is already there.
foreach(name IN LISTS FILES)
    if(NOT EXISTS "${FOLDER}/${name}")
        message(STATUS "Creating empty ${FOLDER}/${name}")
        file(WRITE "${FOLDER}/${name}" "")
    endif()
endforeach()
