# pagewick_add_test(<name> SOURCES <files...> LIBS <targets...> [ENGINE])
#
# Registers a Qt Test executable with CTest. Every test runs on the offscreen
# platform. ENGINE marks tests that start Qt WebEngine: they run one at a time
# (the engine is heavy on two cores) and without the Chromium sandbox, which
# refuses to start as root.
function(pagewick_add_test name)
    cmake_parse_arguments(ARG "ENGINE" "" "SOURCES;LIBS" ${ARGN})
    qt_add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set(env "QT_QPA_PLATFORM=offscreen")
    if(ARG_ENGINE)
        list(APPEND env "QTWEBENGINE_DISABLE_SANDBOX=1"
                        "QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu")
        set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE TIMEOUT 300)
    else()
        set_tests_properties(${name} PROPERTIES TIMEOUT 120)
    endif()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}")
endfunction()
