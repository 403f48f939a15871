# Cross build: the Win32 client and the tests that run under Wine.
add_compile_definitions(NOMINMAX WINVER=0x0601 _WIN32_WINNT=0x0601)
add_compile_options(-Wall -Wextra)
set(LUMORA_WIN32_LIBS gdiplus wininet ole32 oleaut32 shell32 comctl32 uuid gdi32 user32 advapi32)

# windres looks for the files a script names along its include path.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/res")

# The Win32 side of the client that its tests exercise too.
add_library(lumora_win32 STATIC
    config/TextResource.cpp
)
target_link_libraries(lumora_win32 PUBLIC lumora_core ${LUMORA_WIN32_LIBS})

add_executable(lumora WIN32 app/LumoraMain.cpp res/lumora.rc)
target_link_libraries(lumora PRIVATE lumora_win32)

include(cmake/GoogleTest.cmake)

# Every Wine test executable: GoogleTest, the core, the Win32 libraries; tests are listed when they run,
# through the emulator.
function(lumora_wine_test name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE lumora_win32 GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE LUMORA_RES_DIR="${CMAKE_SOURCE_DIR}/res")
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
endfunction()

lumora_wine_test(resource_tests tests/wine/ResourceDocumentsTest.cpp res/documents.rc)
