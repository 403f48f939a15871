# Native build of the portable core and its tests.
set(LUMORA_SANITIZE "-fsanitize=address,undefined" "-fno-sanitize-recover=undefined" "-fno-omit-frame-pointer")
add_compile_options(-Wall -Wextra -g ${LUMORA_SANITIZE})
add_link_options(${LUMORA_SANITIZE})

include(cmake/GoogleTest.cmake)

add_executable(core_tests
    tests/core/MbcsTextTest.cpp
    tests/core/PixelsTest.cpp
    tests/core/ShippedDocuments.cpp
    tests/config/core/ZoIniTest.cpp
    tests/config/core/DebugLogTest.cpp
    tests/config/core/LayoutTableTest.cpp
    tests/config/core/BrowserSettingsTest.cpp
    tests/config/core/SiteUrlTableTest.cpp
    tests/skin/core/AniFileTest.cpp
    tests/skin/core/NineGridTest.cpp
    tests/mainwnd/core/ScreenSizeTableTest.cpp
    tests/mainwnd/core/GameTablesTest.cpp
    tests/webwnd/core/WebLayoutTest.cpp
    tests/webwnd/core/NavigationWatchTest.cpp
    tests/webwnd/core/CachePurgeTest.cpp
    tests/webwnd/core/OfflinePageTest.cpp
)
target_link_libraries(core_tests PRIVATE lumora_core GTest::gtest_main)
target_compile_definitions(core_tests PRIVATE LUMORA_RES_DIR="${CMAKE_SOURCE_DIR}/res")
gtest_discover_tests(core_tests DISCOVERY_TIMEOUT 30)

# libFuzzer needs clang; with another compiler the target is simply not there. The core is built once more
# with coverage instrumentation so that the fuzzer sees which branches an input reaches.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    add_library(lumora_core_fuzz STATIC ${LUMORA_CORE_SOURCES})
    target_include_directories(lumora_core_fuzz PUBLIC ${CMAKE_SOURCE_DIR})
    target_compile_options(lumora_core_fuzz PRIVATE -fsanitize=fuzzer-no-link)
    add_executable(zoini_fuzz tests/fuzz/ZoIniFuzz.cpp)
    target_compile_options(zoini_fuzz PRIVATE -fsanitize=fuzzer)
    target_link_options(zoini_fuzz PRIVATE -fsanitize=fuzzer)
    target_link_libraries(zoini_fuzz PRIVATE lumora_core_fuzz)
    add_executable(navigation_fuzz tests/fuzz/NavigationFuzz.cpp)
    target_compile_options(navigation_fuzz PRIVATE -fsanitize=fuzzer)
    target_link_options(navigation_fuzz PRIVATE -fsanitize=fuzzer)
    target_link_libraries(navigation_fuzz PRIVATE lumora_core_fuzz)
endif()

# The scripts' own logic that needs no Wine: how they choose the architecture, the test command's phases, and the
# brand check that stops a configure.
foreach(script ArchitectureTest PhasesTest BrandCheckTest)
    add_test(NAME Scripts.${script} COMMAND bash ${CMAKE_SOURCE_DIR}/tests/scripts/${script}.sh)
endforeach()
