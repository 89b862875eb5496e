# Fails when the committed artwork differs from what tools/artgen draws now; says "Skipped" when the
# generator's font is not installed.
# Run by CTest: cmake -DARTGEN=... -DFONT=... -DRESOURCES=... -DWORK_DIR=... -P check-artwork.cmake
if(NOT EXISTS "${FONT}")
    message(STATUS "Skipped: the font ${FONT} is not installed")
    return()
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND "${ARTGEN}" --out "${WORK_DIR}" --font "${FONT}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "artgen failed (${result})")
endif()
file(GLOB_RECURSE drawn RELATIVE "${WORK_DIR}" "${WORK_DIR}/*.bmp")
set(differing "")
foreach(path IN LISTS drawn)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK_DIR}/${path}"
                            "${RESOURCES}/${path}" RESULT_VARIABLE same)
    if(NOT same EQUAL 0)
        list(APPEND differing "${path}")
    endif()
endforeach()
list(LENGTH drawn count)
if(count EQUAL 0 OR differing)
    message(FATAL_ERROR "The committed artwork differs from what artgen draws: ${differing}\n"
                        "Regenerate it (cmake --build <dir> --target artwork), or, if an artist "
                        "redrew it, stop checking it here.")
endif()
message(STATUS "${count} artwork files match what artgen draws")
