# Native build: the portable code and its unit tests, under AddressSanitizer
# and UndefinedBehaviorSanitizer.
option(PW_SANITIZE "Build with AddressSanitizer and UBSan" ON)
if(PW_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
add_compile_options(-Wall -Wextra)

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} googletest EXCLUDE_FROM_ALL)

add_library(pw_portable STATIC ${PORTABLE_SOURCES})
target_include_directories(pw_portable PUBLIC ${CMAKE_SOURCE_DIR}/src)

file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(pw_unit_tests ${UNIT_TEST_SOURCES})
target_link_libraries(pw_unit_tests PRIVATE pw_portable gtest_main)
# The shipped definitions and their sources are checked where they live.
target_compile_definitions(pw_unit_tests PRIVATE PW_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(pw_unit_tests DISCOVERY_MODE PRE_TEST)
