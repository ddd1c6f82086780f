# Project-wide target setup: one static library per source folder, one test
# executable per test folder. Sources are globbed so that adding a file needs
# no edit here.

function(kivo_target_defaults target)
    target_compile_definitions(${target} PRIVATE
        QT_NO_CAST_FROM_ASCII QT_NO_URL_CAST_FROM_STRING QT_NO_FOREACH
        QT_NO_CAST_TO_ASCII QT_NO_KEYWORDS)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow)
    if(KIVO_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# moc's build step only tracks the files it parsed last time, so a header that
# the glob brings in later would never be moc'ed: when the file set changes,
# drop the step's stamp so that it runs again.
function(kivo_rerun_moc_on_new_files target sources)
    set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_sources.txt)
    string(JOIN "\n" content ${sources})
    set(old "")
    if(EXISTS ${list_file})
        file(READ ${list_file} old)
    endif()
    if(NOT old STREQUAL content)
        file(WRITE ${list_file} "${content}")
        file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/timestamp)
    endif()
endfunction()

# kivo_module(<target> DIR <folder under src> [DEPS <targets>...])
function(kivo_module target)
    cmake_parse_arguments(ARG "" "DIR" "DEPS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS
        ${PROJECT_SOURCE_DIR}/src/${ARG_DIR}/*.cpp
        ${PROJECT_SOURCE_DIR}/src/${ARG_DIR}/*.h)
    add_library(${target} STATIC ${sources} ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
    kivo_rerun_moc_on_new_files(${target} "${sources}")
    kivo_target_defaults(${target})
endfunction()

# kivo_tests(<folder under tests> DEPS <targets>...)
# Builds tests/<folder>/*.cpp into one executable; each test case runs as its
# own CTest test so that global state never leaks between cases.
function(kivo_tests folder)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS
        ${PROJECT_SOURCE_DIR}/tests/${folder}/*.cpp
        ${PROJECT_SOURCE_DIR}/tests/${folder}/*.h)
    if(NOT sources)
        return()
    endif()
    string(REPLACE "/" "_" name "tests_${folder}")
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE kivo_test_support ${ARG_DEPS})
    kivo_rerun_moc_on_new_files(${name} "${sources}")
    kivo_target_defaults(${name})
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 120
        PROPERTIES TIMEOUT 300)
endfunction()
