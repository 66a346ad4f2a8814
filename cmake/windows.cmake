# Windows build: the program, its Win32 tests and the end-to-end tests, all
# cross-compiled; CTest runs the tests under Wine through the emulator.
enable_language(RC)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 WINVER=0x0501
                        _WIN32_IE=0x0600)
add_compile_options(-Wall -Wextra)
configure_file(${CMAKE_SOURCE_DIR}/res/product_version.h.in ${CMAKE_BINARY_DIR}/generated/product_version.h @ONLY)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/src -I${CMAKE_SOURCE_DIR}/res -I${CMAKE_BINARY_DIR}/generated")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/lib/wine-exec)

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} googletest EXCLUDE_FROM_ALL)
target_include_directories(gtest BEFORE PUBLIC ${CMAKE_SOURCE_DIR}/cmake/gtest-custom)

set(WIN32_SOURCES
  src/platform/atomic_file.cpp
  src/platform/change_watch.cpp
  src/platform/clock.cpp
  src/platform/console.cpp
  src/platform/disk_lister.cpp
  src/platform/file_lock.cpp
  src/platform/files.cpp
  src/platform/folder_listing.cpp
  src/platform/message_box.cpp
  src/platform/painting_wait.cpp
  src/platform/processes.cpp
  src/platform/registry.cpp
  src/platform/run_key.cpp
  src/platform/signature_check.cpp
  src/platform/startup_entries.cpp
  src/platform/system.cpp
  src/platform/system_error.cpp
  src/platform/text.cpp
  src/platform/url_download.cpp
  src/platform/worker_thread.cpp
  src/toolkit/bitmaps.cpp
  src/toolkit/busy_pointer.cpp
  src/toolkit/caption_fit.cpp
  src/toolkit/control_subclasses.cpp
  src/toolkit/whole_lines.cpp
  src/toolkit/controls.cpp
  src/toolkit/tray_icon.cpp
  src/toolkit/window.cpp
  src/features/check_scan.cpp
  src/features/definitions_loading.cpp
  src/features/parallel_walk.cpp
  src/features/disk_folders.cpp
  src/features/guard.cpp
  src/features/background_check.cpp
  src/features/exclusions.cpp
  src/features/process_pass.cpp
  src/features/quarantine_records.cpp
  src/features/removal.cpp
  src/features/removed_total.cpp
  src/features/restore.cpp
  src/features/scan_report.cpp
  src/features/scan_session.cpp
  src/features/scheduled_scan.cpp
  src/features/settings.cpp
  src/features/startup_traces.cpp
  src/features/updates.cpp
  src/windows/about_page.cpp
  src/windows/detection_removal.cpp
  src/windows/application_window.cpp
  src/windows/download_window.cpp
  src/windows/guard_control.cpp
  src/windows/guard_window.cpp
  src/windows/exclusions_window.cpp
  src/windows/main_window.cpp
  src/windows/main_window_layout.cpp
  src/windows/message_box.cpp
  src/windows/modal_loop.cpp
  src/windows/message_loop.cpp
  src/windows/program_icon.cpp
  src/windows/quarantine_menu.cpp
  src/windows/quarantine_page.cpp
  src/windows/scan_page.cpp
  src/windows/scan_run.cpp
  src/windows/scan_window.cpp
  src/windows/scan_window_menu.cpp
  src/windows/work_gate.cpp
  src/windows/settings_page.cpp
  src/windows/splash_window.cpp
  src/windows/status_page.cpp
  src/windows/tray_window.cpp
  src/windows/update_prompts.cpp
  src/windows/updates_page.cpp
  src/app/scan_handover.cpp
  src/app/single_instance.cpp
  src/app/start_sequence.cpp
)
set(WIN32_LIBS comctl32 comdlg32 shell32 ole32 uuid user32 gdi32 advapi32 wininet)

add_library(pw_win32 STATIC ${PORTABLE_SOURCES} ${WIN32_SOURCES})
target_include_directories(pw_win32 PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(pw_win32 PUBLIC ${WIN32_LIBS})

add_executable(Parawarden WIN32 src/app/main.cpp res/Parawarden.rc)
target_link_libraries(Parawarden PRIVATE pw_win32)
target_link_options(Parawarden PRIVATE -s)

# The ready-to-run application folder.
set(APP_DIR ${PW_APP_DIR})
if(NOT APP_DIR)
  set(APP_DIR ${CMAKE_BINARY_DIR}/app)
endif()
add_custom_command(TARGET Parawarden POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory ${APP_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Parawarden> ${APP_DIR}/Parawarden.exe
  VERBATIM)
# The files beside the program are copied whenever they change, not only when
# the program is linked again.
set(APP_FILE_COPIES)
foreach(name ref.dat index.html eula.txt)
  add_custom_command(OUTPUT ${APP_DIR}/${name}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${APP_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/app/${name} ${APP_DIR}/${name}
    DEPENDS ${CMAKE_SOURCE_DIR}/app/${name}
    VERBATIM)
  list(APPEND APP_FILE_COPIES ${APP_DIR}/${name})
endforeach()
add_custom_target(app_files ALL DEPENDS ${APP_FILE_COPIES})
add_dependencies(Parawarden app_files)

# What the publisher puts on the update server: ref.dat, its signature made
# with the development key by tools/sign-definitions (openssl), and the
# version file.
set(PUBLISH_DIR ${CMAKE_BINARY_DIR}/update-server/products/qvr)
add_custom_command(OUTPUT ${PUBLISH_DIR}/ref.dat ${PUBLISH_DIR}/ref.dat.sig ${PUBLISH_DIR}/version.txt
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PUBLISH_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/app/ref.dat ${PUBLISH_DIR}/ref.dat
  COMMAND ${CMAKE_SOURCE_DIR}/tools/sign-definitions ${CMAKE_SOURCE_DIR}/tools/development-keys/current.pem
          parawarden-dev-current ${PUBLISH_DIR}/ref.dat ${PUBLISH_DIR}/ref.dat.sig
  COMMAND sh -c "sed -n 's/^version: //p' \"$1\" >\"$2\"" sh ${PUBLISH_DIR}/ref.dat.sig ${PUBLISH_DIR}/version.txt
  DEPENDS ${CMAKE_SOURCE_DIR}/app/ref.dat ${CMAKE_SOURCE_DIR}/tools/sign-definitions
          ${CMAKE_SOURCE_DIR}/tools/development-keys/current.pem
  VERBATIM)
add_custom_target(update_server_files ALL DEPENDS ${PUBLISH_DIR}/ref.dat.sig)

# The release (scripts/package and the test command build it): the setup
# program, the portable zip and their checksums.
set(DIST_DIR ${PW_DIST_DIR})
if(NOT DIST_DIR)
  set(DIST_DIR ${CMAKE_BINARY_DIR}/dist)
endif()
find_program(MAKENSIS makensis)
add_custom_target(dist
  COMMAND ${CMAKE_COMMAND} -DVERSION=${PROJECT_VERSION} -DAPP_DIR=${APP_DIR} -DDIST_DIR=${DIST_DIR}
          -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DSTAGE_DIR=${CMAKE_BINARY_DIR}/portable -DMAKENSIS=${MAKENSIS}
          -DPUBLISH_DIR=${CMAKE_BINARY_DIR}/update-server
          -P ${CMAKE_SOURCE_DIR}/cmake/package.cmake
  DEPENDS Parawarden update_server_files
  VERBATIM)

file(GLOB WIN32_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/*.cpp)
if(WIN32_TEST_SOURCES)
  add_executable(pw_win32_tests ${WIN32_TEST_SOURCES})
  target_link_libraries(pw_win32_tests PRIVATE pw_win32 gtest)
  gtest_discover_tests(pw_win32_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS win32 TIMEOUT 60)
  # What differs on 64-bit Windows, again in a 64-bit prefix: the machine's
  # Run key and policy key have two views there, programs may be 64-bit, and
  # 32-bit programs are given a system folder of their own.
  add_test(NAME Win64.RunKeysProgramsAndSystemFolderIn64BitPrefix
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/lib/wine64-exec $<TARGET_FILE:pw_win32_tests>
                   --gtest_filter=StartupEntries.*:RunningProcesses.*:SystemFolder.*:MachinePolicy.*)
  set_tests_properties(Win64.RunKeysProgramsAndSystemFolderIn64BitPrefix
                       PROPERTIES LABELS win32 TIMEOUT 60 WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
endif()

file(GLOB E2E_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*_test.cpp)
if(E2E_SOURCES)
  add_library(pw_e2e_driver STATIC tests/e2e/driver/app_driver.cpp tests/e2e/driver/http_server.cpp
              tests/e2e/driver/test_signer.cpp tests/e2e/driver/wine_registry.cpp)
  target_include_directories(pw_e2e_driver PUBLIC ${CMAKE_SOURCE_DIR}/tests/e2e ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(pw_e2e_driver PUBLIC gtest pw_win32 ws2_32)
  add_executable(open_recorder tests/e2e/tools/open_recorder.cpp)
  target_link_options(open_recorder PRIVATE -municode)
  add_executable(sleeper WIN32 tests/e2e/tools/sleeper.cpp)
  add_executable(pw_e2e_tests ${E2E_SOURCES})
  target_link_libraries(pw_e2e_tests PRIVATE pw_e2e_driver gtest_main ole32 uuid shlwapi)
  target_include_directories(pw_e2e_tests PRIVATE ${CMAKE_BINARY_DIR}/generated)
  add_dependencies(pw_e2e_tests Parawarden open_recorder sleeper)
  gtest_discover_tests(pw_e2e_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS e2e TIMEOUT 120 RUN_SERIAL TRUE)
endif()

# Takes the README's pictures (scripts/screenshots runs it); not a test.
add_executable(screenshot_tour EXCLUDE_FROM_ALL tests/e2e/tools/screenshot_tour.cpp)
target_link_libraries(screenshot_tour PRIVATE pw_e2e_driver)
add_dependencies(screenshot_tour Parawarden)

# Scan speed benchmark (scripts/benchmark-scan runs it); not a test.
add_executable(bench_scan EXCLUDE_FROM_ALL tools/bench_scan.cpp)
target_link_libraries(bench_scan PRIVATE pw_e2e_driver psapi)
add_dependencies(bench_scan Parawarden)
# Exclusions window benchmark (scripts/benchmark-exclusions runs it).
add_executable(bench_exclusions EXCLUDE_FROM_ALL tools/bench_exclusions.cpp)
target_link_libraries(bench_exclusions PRIVATE pw_e2e_driver)
add_dependencies(bench_exclusions Parawarden)
