# Fails when a C++ source of the project is not formatted as .clang-format says.
# Run by CTest: cmake -DCLANG_FORMAT=... -DSOURCE_DIR=... -P check-format.cmake
file(GLOB_RECURSE sources
     "${SOURCE_DIR}/platform/*.cpp" "${SOURCE_DIR}/platform/*.h"
     "${SOURCE_DIR}/rules/*.cpp" "${SOURCE_DIR}/rules/*.h"
     "${SOURCE_DIR}/records/*.cpp" "${SOURCE_DIR}/records/*.h"
     "${SOURCE_DIR}/engine/*.cpp" "${SOURCE_DIR}/engine/*.h"
     "${SOURCE_DIR}/ui/*.cpp" "${SOURCE_DIR}/ui/*.h"
     "${SOURCE_DIR}/tools/*.cpp" "${SOURCE_DIR}/tools/*.h"
     "${SOURCE_DIR}/uci/*.cpp" "${SOURCE_DIR}/uci/*.h"
     "${SOURCE_DIR}/host/*.cpp" "${SOURCE_DIR}/host/*.h"
     "${SOURCE_DIR}/match/*.cpp" "${SOURCE_DIR}/match/*.h"
     "${SOURCE_DIR}/tests/*.cpp" "${SOURCE_DIR}/tests/*.h")
execute_process(COMMAND "${CLANG_FORMAT}" --dry-run --Werror ${sources}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "Some sources are not formatted; run clang-format -i on them.")
endif()
list(LENGTH sources count)
message(STATUS "${count} sources formatted as .clang-format says")
