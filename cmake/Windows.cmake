# The Windows build: Tornvale.exe linked statically (no DLL beside it but
# Windows' own), the zip to hand out, and the tests that run under wine.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)
find_package(Threads REQUIRED)

add_link_options(-static -static-libgcc -static-libstdc++)
if(CMAKE_BUILD_TYPE STREQUAL "Release")
  add_link_options(-s)
endif()
include_directories(${CMAKE_SOURCE_DIR})

foreach(dir platform serial exchange portlist ui cli)
  add_subdirectory(${dir})
endforeach()
set_target_properties(Tornvale PROPERTIES WIN32_EXECUTABLE ON)
# tornvale-cli.exe stays a console program: its output goes to the console
# or the script that started it.

# The icon and the version resource. The icon file is committed, drawn by
# tornvale-icons from the program's artwork (a Linux test keeps the two
# equal): the cross-build runs no program of its own.
enable_language(RC)
set(TORNVALE_ICO ${CMAKE_SOURCE_DIR}/packaging/windows/Tornvale.ico)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/Tornvale.rc.in ${CMAKE_BINARY_DIR}/Tornvale.rc @ONLY)
target_sources(Tornvale PRIVATE ${CMAKE_BINARY_DIR}/Tornvale.rc)
set_source_files_properties(${CMAKE_BINARY_DIR}/Tornvale.rc PROPERTIES
  OBJECT_DEPENDS "${TORNVALE_ICO};${CMAKE_SOURCE_DIR}/ui/ProgramIdentity.h")

# dist/Tornvale-<version>-win64.zip: the two programs and a short LIESMICH.
set(TORNVALE_ZIP ${CMAKE_SOURCE_DIR}/dist/Tornvale-${PROJECT_VERSION}-win64.zip)
set(TORNVALE_ZIP_STAGE ${CMAKE_BINARY_DIR}/zip)
add_custom_command(OUTPUT ${TORNVALE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${TORNVALE_ZIP_STAGE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TORNVALE_ZIP_STAGE} ${CMAKE_SOURCE_DIR}/dist
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Tornvale> ${TORNVALE_ZIP_STAGE}/Tornvale.exe
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tornvale-cli> ${TORNVALE_ZIP_STAGE}/tornvale-cli.exe
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/cmake/LIESMICH.txt ${TORNVALE_ZIP_STAGE}/LIESMICH.txt
  COMMAND ${CMAKE_COMMAND} -E chdir ${TORNVALE_ZIP_STAGE}
          ${CMAKE_COMMAND} -E tar cf ${TORNVALE_ZIP} --format=zip Tornvale.exe tornvale-cli.exe LIESMICH.txt
  DEPENDS Tornvale tornvale-cli ${CMAKE_SOURCE_DIR}/cmake/LIESMICH.txt
  VERBATIM)
add_custom_target(windows_zip ALL DEPENDS ${TORNVALE_ZIP})

# Tests under wine (tests/wine/run.sh): everything that needs no line events.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
add_custom_target(wine_tests)

file(GLOB EXCHANGE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/exchange/*.cpp)
# The readout file's fault cases need Linux resource limits and signals.
list(FILTER EXCHANGE_TEST_SOURCES EXCLUDE REGEX ".*/ReadoutFileTest\\.cpp$")
add_executable(exchange_tests ${EXCHANGE_TEST_SOURCES})
target_link_libraries(exchange_tests PRIVATE tornvale_exchange gtest_main)

set(SERIAL_TESTS ${CMAKE_SOURCE_DIR}/tests/serial)
add_executable(serial_tests ${CMAKE_SOURCE_DIR}/tests/wine/WineTestMain.cpp ${SERIAL_TESTS}/MainQueueWait.cpp
  ${SERIAL_TESTS}/MainQueueTest.cpp ${SERIAL_TESTS}/ThreadTest.cpp ${SERIAL_TESTS}/PortNameTest.cpp
  ${SERIAL_TESTS}/SettingsTest.cpp ${CMAKE_SOURCE_DIR}/tests/wine/MainQueueWindowsTest.cpp)
target_link_libraries(serial_tests PRIVATE tornvale_serial Qt6::Core gtest)

# What the machine offers the choosers: the port list's rules, its tool-tips
# from the device installer, and the drive letters.
add_executable(discovery_tests ${CMAKE_SOURCE_DIR}/tests/discovery/ComAvailableTest.cpp
  ${CMAKE_SOURCE_DIR}/tests/wine/PortNamesWindowsTest.cpp ${CMAKE_SOURCE_DIR}/tests/wine/VolumesWindowsTest.cpp)
target_link_libraries(discovery_tests PRIVATE tornvale_portlist gtest_main)

add_dependencies(wine_tests exchange_tests serial_tests discovery_tests)

