# Cross build: the Win32 client and the tests that run under Wine.
include(cmake/BuildIdentity.cmake)
include(cmake/Brand.cmake)
add_compile_definitions(NOMINMAX WINVER=0x0601 _WIN32_WINNT=0x0601)
add_compile_options(-Wall -Wextra)
set(LUMORA_WIN32_LIBS gdiplus wininet ole32 oleaut32 shell32 comctl32 uuid gdi32 user32 advapi32)

# The manifest names the processor architecture twice (the client's assembly and the Common Controls it depends
# on); with the wrong one Windows finds no version 6 of the common controls and the dialogs fall back to the old
# ones. It is made for this build's architecture, under generated/, which windres searches before res/.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(LUMORA_MANIFEST_ARCH amd64)
else()
    set(LUMORA_MANIFEST_ARCH x86)
endif()
configure_file(${CMAKE_SOURCE_DIR}/res/lumora.manifest.in ${CMAKE_BINARY_DIR}/generated/lumora.manifest @ONLY)

# windres looks for the files a script names along its include path. Its preprocessor writes the files a script
# includes into the dependency file Ninja reads, so that a change to an included script or picture rebuilds it.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_BINARY_DIR}/generated -I${CMAKE_SOURCE_DIR}/res")
set(CMAKE_DEPFILE_FLAGS_RC
    "--preprocessor-arg=-MD --preprocessor-arg=-MT --preprocessor-arg=<OBJECT> --preprocessor-arg=-MF --preprocessor-arg=<DEP_FILE>")

include(cmake/Framework.cmake)

# The Win32 side of the client, everything but the application object itself, so that tests can link it.
add_library(lumora_win32 STATIC
    app/BrowserEmulation.cpp
    app/DesktopShortcut.cpp
    app/GameApp.cpp
    config/TextResource.cpp
    host/CustomControlSite.cpp
    host/CustomOccManager.cpp
    host/ImpIDispatch.cpp
    host/ScriptError.cpp
    host/WebBrowser.cpp
    mainwnd/GameDlg.cpp
    skin/MyBitmap.cpp
    skin/MyBitmapButton.cpp
    skin/SkinFrame.cpp
    skin/ResourceImage.cpp
    webwnd/ClearBrowserCache.cpp
    webwnd/DialogWeb.cpp
    webwnd/OfflinePage.cpp
    webwnd/DlgVolume.cpp
)
target_link_libraries(lumora_win32 PUBLIC lumora_core lumora_framework ${LUMORA_WIN32_LIBS})

add_executable(lumora WIN32 app/Main.cpp)
target_link_libraries(lumora PRIVATE lumora_win32 lumora_winmain)
# The shipped client, or an operator's: -DLUMORA_BRAND_DIR, -DLUMORA_SITEURL_DOCUMENT and -DLUMORA_OPERATOR.
lumora_brand(lumora res/lumora.rc BRAND "${LUMORA_BRAND_DIR}" SITEURL "${LUMORA_SITEURL_DOCUMENT}"
             OPERATOR "${LUMORA_OPERATOR}")

include(cmake/GoogleTest.cmake)

# Every Wine test executable: GoogleTest, the core, the Win32 libraries; tests are listed when they run,
# through the emulator. TEXT marks the executables whose tests handle text of either kind (titles, message boxes,
# the profile key, paths, code-page conversions): the test command runs them under a Chinese locale too. SCREEN
# marks those whose results depend on the screen's size: the test command runs them on a small screen too. JOURNEY
# marks the end-to-end journey, which runs only in prefixes with the stand-in browser and the test site. CLIENT marks
# those that drive the real client from outside, or hold what the client writes on its start: where the machine runs
# both architectures, the test command runs them on the 64-bit client too. NOBROWSER marks those that run only in a prefix without the browser's class.
function(lumora_wine_test name)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "TEXT;SCREEN;JOURNEY;CLIENT;NOBROWSER" "" "")
    add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE lumora_win32 GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE LUMORA_RES_DIR="${CMAKE_SOURCE_DIR}/res")
    set(labels)
    if(ARG_TEXT)
        list(APPEND labels text)
    endif()
    if(ARG_SCREEN)
        list(APPEND labels screen)
    endif()
    if(ARG_JOURNEY)
        list(APPEND labels journey)
    endif()
    if(ARG_CLIENT)
        list(APPEND labels client)
    endif()
    if(ARG_NOBROWSER)
        list(APPEND labels nobrowser)
    endif()
    if(labels)
        # One label of every name: CTest selects by regular expression (-L text, -L screen).
        list(JOIN labels "_" labels)
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${labels}")
    else()
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
    endif()
endfunction()

lumora_wine_test(resource_tests tests/wine/ResourceDocumentsTest.cpp tests/wine/PageMenuTest.cpp res/documents.rc)
target_compile_definitions(resource_tests PRIVATE LUMORA_EXE="$<TARGET_FILE:lumora>")
add_dependencies(resource_tests lumora)
lumora_wine_test(framework_tests TEXT tests/framework/FrameworkTest.cpp tests/framework/FrameworkTest.rc)
lumora_wine_test(text_tests TEXT tests/framework/TextTest.cpp)
# Started by framework_tests under other names, for the caption of message boxes.
add_executable(messagebox_probe WIN32 tests/framework/MessageBoxProbe.cpp)
target_link_libraries(messagebox_probe PRIVATE lumora_framework lumora_winmain)
target_compile_definitions(framework_tests PRIVATE LUMORA_MESSAGEBOX_PROBE="$<TARGET_FILE:messagebox_probe>")
add_dependencies(framework_tests messagebox_probe)
# The ActiveX control container, with a control of its own and the system's web browser.
lumora_wine_test(framework_occ_tests tests/framework/OccTest.cpp tests/framework/OccTestControl.cpp
    tests/framework/OccTest.rc)
# A window object outliving its window, on a guarded heap that makes any use of freed memory crash the program.
lumora_wine_test(lifetime_tests tests/framework/LifetimeTest.cpp tests/framework/GuardedHeap.cpp
    tests/framework/OccTestControl.cpp tests/framework/LifetimeTest.rc)
lumora_wine_test(host_tests tests/host/ImpIDispatchTest.cpp)
lumora_wine_test(app_tests TEXT CLIENT tests/app/DesktopShortcutTest.cpp tests/app/BrowserEmulationTest.cpp)
# The skin's pictures, checked from their bytes as the executable carries them.
lumora_wine_test(image_resource_tests tests/skin/ImageResourcesTest.cpp res/images.rc)
target_compile_definitions(image_resource_tests PRIVATE LUMORA_EXE="$<TARGET_FILE:lumora>")
add_dependencies(image_resource_tests lumora)
lumora_wine_test(skin_tests tests/skin/SkinDrawingTest.cpp res/images.rc)

# The main window and the web window in the test's own process, with the client's resources.
lumora_wine_test(game_window_tests SCREEN tests/webwnd/GameWindowTest.cpp tests/webwnd/WebCommandsTest.cpp
    tests/webwnd/WebWindowTest.cpp tests/webwnd/OfflinePageTest.cpp tests/framework/OccTestControl.cpp)
lumora_brand(game_window_tests res/lumora.rc)

# The real client's windows, looked at from outside; screenshots under build/cross/screenshots.
lumora_wine_test(client_window_tests SCREEN TEXT CLIENT tests/app/ClientWindowsTest.cpp res/documents.rc)
target_link_libraries(client_window_tests PRIVATE psapi shlwapi)
target_compile_definitions(client_window_tests PRIVATE LUMORA_EXE="$<TARGET_FILE:lumora>")
add_dependencies(client_window_tests lumora)

# Every command of the running client, with a recorder standing in for the user's web browser.
add_executable(url_recorder WIN32 tests/app/UrlRecorder.cpp)
lumora_wine_test(client_command_tests TEXT CLIENT tests/app/ClientCommandsTest.cpp)
target_compile_definitions(client_command_tests PRIVATE LUMORA_EXE="$<TARGET_FILE:lumora>"
                                                         LUMORA_URL_RECORDER="$<TARGET_FILE:url_recorder>")
add_dependencies(client_command_tests lumora url_recorder)

# The client where its browser control cannot be made.
lumora_wine_test(no_browser_tests NOBROWSER tests/app/NoBrowserTest.cpp res/documents.rc)
target_compile_definitions(no_browser_tests PRIVATE LUMORA_EXE="$<TARGET_FILE:lumora>")
add_dependencies(no_browser_tests lumora)

# Copies of the client with one resource taken out each.
lumora_wine_test(missing_piece_tests CLIENT tests/app/MissingPiecesTest.cpp)
target_compile_definitions(missing_piece_tests PRIVATE LUMORA_EXE="$<TARGET_FILE:lumora>")
add_dependencies(missing_piece_tests lumora)

# Starts copies of the real client, so it needs the client built first.
lumora_wine_test(startup_tests TEXT CLIENT tests/app/StartupTest.cpp)
target_compile_definitions(startup_tests PRIVATE LUMORA_EXE="$<TARGET_FILE:lumora>")
add_dependencies(startup_tests lumora)


# Not a test: the window scripts/skin-preview.sh takes a screenshot of.
# With a brand folder, its pictures.
add_executable(skin_preview WIN32 tests/skin/SkinPreview.cpp)
target_link_libraries(skin_preview PRIVATE lumora_win32)
lumora_brand(skin_preview res/images.rc BRAND "${LUMORA_BRAND_DIR}")

# The stand-in for the web browser control of the end-to-end journey and the demo: registered in their prefixes only.
add_library(standin_browser SHARED tests/journey/StandInBrowser.cpp tests/journey/StandInBrowser.def)
set_target_properties(standin_browser PROPERTIES PREFIX "")
target_link_libraries(standin_browser PRIVATE lumora_core wininet ole32 oleaut32 uuid user32 gdi32)
target_link_options(standin_browser PRIVATE -static -Wl,--enable-stdcall-fixup)

# A player's whole session, with the stand-in browser and the test site.
lumora_wine_test(journey_tests JOURNEY tests/journey/JourneyTest.cpp res/documents.rc)
target_link_libraries(journey_tests PRIVATE psapi wininet)
target_compile_definitions(journey_tests PRIVATE LUMORA_EXE="$<TARGET_FILE:lumora>"
                                                 LUMORA_URL_RECORDER="$<TARGET_FILE:url_recorder>")
add_dependencies(journey_tests lumora url_recorder standin_browser)

# An operator's build, as -DLUMORA_SITEURL_DOCUMENT makes it, with a document of other host names.
add_executable(lumora_operator WIN32 app/Main.cpp)
target_link_libraries(lumora_operator PRIVATE lumora_win32 lumora_winmain)
lumora_brand(lumora_operator res/lumora.rc SITEURL ${CMAKE_SOURCE_DIR}/tests/journey/operator-siteurl.ini)
lumora_wine_test(operator_build_tests tests/journey/OperatorBuildTest.cpp)
target_compile_definitions(operator_build_tests PRIVATE LUMORA_EXE="$<TARGET_FILE:lumora_operator>"
                                                        LUMORA_URL_RECORDER="$<TARGET_FILE:url_recorder>")
add_dependencies(operator_build_tests lumora_operator url_recorder)

# The benchmark (scripts/bench.sh) and the minimal program it measures the client's start against.
add_executable(minimal_start WIN32 tests/bench/MinimalStart.cpp tests/bench/MinimalStart.rc res/images.rc)
target_link_libraries(minimal_start PRIVATE lumora_win32 lumora_winmain)
add_executable(bench tests/bench/Bench.cpp)
target_link_libraries(bench PRIVATE lumora_win32 psapi GTest::gtest)
lumora_brand(bench res/lumora.rc)

# The run command without a display, run as a newcomer runs it, with a run folder of its own in this tree.
add_test(NAME Scripts.RunCommandWithoutADisplay
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/scripts/RunCommandTest.sh ${CMAKE_BINARY_DIR}/run-command)
set_tests_properties(Scripts.RunCommandWithoutADisplay PROPERTIES TIMEOUT 240)

# A client built with a small test brand (tests/brand/make_sample.py draws it when the build is configured).
execute_process(COMMAND ${LUMORA_PYTHON} ${CMAKE_SOURCE_DIR}/tests/brand/make_sample.py ${CMAKE_BINARY_DIR}/brand-sample
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "tests/brand/make_sample.py could not write the test brand")
endif()
add_executable(lumora_branded WIN32 app/Main.cpp)
target_link_libraries(lumora_branded PRIVATE lumora_win32 lumora_winmain)
lumora_brand(lumora_branded res/lumora.rc BRAND ${CMAKE_BINARY_DIR}/brand-sample OPERATOR "Brandtest Games")
lumora_wine_test(brand_build_tests CLIENT tests/brand/BrandBuildTest.cpp res/documents.rc)
target_link_libraries(brand_build_tests PRIVATE version)
target_compile_definitions(brand_build_tests PRIVATE LUMORA_EXE="$<TARGET_FILE:lumora_branded>"
                           LUMORA_BRAND_SITEURL="${CMAKE_BINARY_DIR}/brand-sample/siteurl.ini"
                           LUMORA_BRAND_FOLDER="${CMAKE_BINARY_DIR}/brand-sample"
                           LUMORA_VERSION="${PROJECT_VERSION}")
add_dependencies(brand_build_tests lumora_branded)
