# The tests that run under Wine, and the sessions they run in. Included by Cross.cmake.
#
# A test runs in a Wine session (scripts/session.sh): an X display of a given size with a window manager, a prefix
# of this tree's own with its server running, and, for the journey, the stand-in browser and the test site. Each
# session is a CTest fixture, started before the first test that needs it and stopped after the last, so that
#     ctest --test-dir <this tree> -R <test name>
# runs any one test alone. Tests of one session share its desktop and take it in turn (a resource lock); tests of
# different sessions may run side by side (ctest -j).
#
# A test executable runs in the variants it names, each a session, a locale and a label (what test.sh selects by):
#   en                a 1920 x 1080 screen, English                              label en
#   zh                a 1920 x 1080 screen, Chinese (code page 936)              label zh,      name suffix @zh
#   small             a 1280 x 600 screen, lower than the login picture          label small,   name suffix @1280x600
#   tiny              an 800 x 600 screen, narrower too                          label tiny,    name suffix @800x600
#   journey           the stand-in browser and the test site, 1920 x 1080        label journey
#   journey-zh        the same, Chinese                                          label journey, name suffix @zh
#   journey-small     the stand-in browser and the test site, 1280 x 600         label journey, name suffix @1280x600
#   journey-small-zh  the same, Chinese                                          label journey, name suffix @1280x600-zh
#   nobrowser         a prefix without the browser control's class              label nobrowser
# CLIENT marks the executables that drive the real client from outside, or hold what it writes when it starts: their
# en and journey variants carry the label client too, which the test command runs on the 64-bit client as well where
# the machine runs both architectures. Their en variant has a session of its own (clients), and the zh variants one
# more (zh), so that those run beside the in-process tests of the session full.

include(GoogleTest)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(LUMORA_ARCH x86_64)
else()
    set(LUMORA_ARCH i686)
endif()
set(LUMORA_SESSIONS ${CMAKE_BINARY_DIR}/sessions)

# What the tests share: waiting and pumping, windows, the screen, the client process, OLE (tests/support), and the
# tests' own ActiveX control (tests/doubles).
add_library(lumora_test_support STATIC tests/doubles/OccTestControl.cpp)
target_include_directories(lumora_test_support PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(lumora_test_support PUBLIC lumora_win32 GTest::gtest)

# A session: its fixture's start and stop. STANDIN: the stand-in browser in the browser's place and the test site;
# NOBROWSER: the browser's class taken out of the prefix.
function(lumora_wine_session name screen)
    cmake_parse_arguments(PARSE_ARGV 2 ARG "STANDIN;NOBROWSER" "" "")
    set(start bash ${CMAKE_SOURCE_DIR}/scripts/session.sh start ${LUMORA_SESSIONS}/${name} --arch ${LUMORA_ARCH}
        --screen ${screen})
    if(ARG_STANDIN)
        list(APPEND start --standin $<TARGET_FILE:standin_browser> --site)
    endif()
    if(ARG_NOBROWSER)
        list(APPEND start --nobrowser)
    endif()
    add_test(NAME Session.${name}.Start COMMAND ${start})
    add_test(NAME Session.${name}.Stop
             COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/session.sh stop ${LUMORA_SESSIONS}/${name})
    # One session at a time makes its prefix: they share the template it is copied from.
    set_tests_properties(Session.${name}.Start PROPERTIES FIXTURES_SETUP wine-${name} RESOURCE_LOCK wine-template
                                                          TIMEOUT 300 LABELS session)
    set_tests_properties(Session.${name}.Stop PROPERTIES FIXTURES_CLEANUP wine-${name} TIMEOUT 60 LABELS session)
endfunction()

lumora_wine_session(full 1920x1080)
lumora_wine_session(clients 1920x1080)
lumora_wine_session(zh 1920x1080)
lumora_wine_session(small 1280x600)
lumora_wine_session(tiny 800x600)
lumora_wine_session(journey 1920x1080 STANDIN)
lumora_wine_session(journey-small 1280x600 STANDIN)
lumora_wine_session(nobrowser 1920x1080 NOBROWSER)

# A Wine test executable and its tests, one CTest test for each TEST of its sources in each of its variants.
#   lumora_wine_test(<name> [CLIENT] [VARIANTS <variant>...] SOURCES <sources>...)  (VARIANTS: en when none given)
function(lumora_wine_test name)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "CLIENT" "" "VARIANTS;SOURCES")
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE lumora_test_support GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE LUMORA_RES_DIR="${CMAKE_SOURCE_DIR}/res")
    set(sources ${ARG_SOURCES})
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    if(NOT ARG_VARIANTS)
        set(ARG_VARIANTS en)
    endif()
    set(chinese "LC_ALL=zh_CN.UTF-8;LUMORA_EXPECT_CODE_PAGE=936")
    foreach(variant IN LISTS ARG_VARIANTS)
        set(environment)
        set(suffix)
        if(variant STREQUAL "en")
            set(session full)
            if(ARG_CLIENT)
                set(session clients)
            endif()
            set(label en)
        elseif(variant STREQUAL "zh")
            set(session zh)
            set(label zh)
            set(suffix @zh)
            set(environment ${chinese})
        elseif(variant STREQUAL "small")
            set(session small)
            set(label small)
            set(suffix @1280x600)
        elseif(variant STREQUAL "tiny")
            set(session tiny)
            set(label tiny)
            set(suffix @800x600)
        elseif(variant STREQUAL "journey")
            set(session journey)
            set(label journey)
        elseif(variant STREQUAL "journey-zh")
            set(session journey)
            set(label journey)
            set(suffix @zh)
            set(environment ${chinese})
        elseif(variant STREQUAL "journey-small")
            set(session journey-small)
            set(label journey)
            set(suffix @1280x600)
        elseif(variant STREQUAL "journey-small-zh")
            set(session journey-small)
            set(label journey)
            set(suffix @1280x600-zh)
            set(environment ${chinese})
        elseif(variant STREQUAL "nobrowser")
            set(session nobrowser)
            set(label nobrowser)
        else()
            message(FATAL_ERROR "lumora_wine_test(${name}): no such variant: ${variant}")
        endif()
        if(ARG_CLIENT AND (variant STREQUAL "en" OR variant STREQUAL "journey"))
            list(APPEND label client)
        endif()
        gtest_add_tests(TARGET ${name} SOURCES ${sources} TEST_SUFFIX "${suffix}" TEST_LIST tests)
        set_tests_properties(${tests} PROPERTIES
            FIXTURES_REQUIRED wine-${session}
            RESOURCE_LOCK desktop-${session}
            ENVIRONMENT "LUMORA_SESSION_DIR=${LUMORA_SESSIONS}/${session};${environment}"
            LABELS "${label}"
            SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]"
            TIMEOUT 180)
    endforeach()
endfunction()

# The documents the client carries, and the resources it carries but does not load.
lumora_wine_test(resource_tests SOURCES tests/config/ResourceDocumentsTest.cpp tests/res/PageMenuTest.cpp res/documents.rc)
target_compile_definitions(resource_tests PRIVATE LUMORA_EXE="$<TARGET_FILE:lumora>")
add_dependencies(resource_tests lumora)

# The framework: message maps, the guard, dialogs, data exchange, the profile, message boxes; text of both kinds.
lumora_wine_test(framework_tests VARIANTS en zh SOURCES tests/framework/FrameworkTest.cpp tests/framework/FrameworkTest.rc)
lumora_wine_test(text_tests VARIANTS en zh SOURCES tests/framework/TextTest.cpp)
# Started by framework_tests under other names, for the caption of message boxes.
add_executable(messagebox_probe WIN32 tests/doubles/MessageBoxProbe.cpp)
target_link_libraries(messagebox_probe PRIVATE lumora_framework lumora_winmain)
target_compile_definitions(framework_tests PRIVATE LUMORA_MESSAGEBOX_PROBE="$<TARGET_FILE:messagebox_probe>")
add_dependencies(framework_tests messagebox_probe)
# The ActiveX control container, with the tests' own control and the system's web browser.
lumora_wine_test(framework_occ_tests SOURCES tests/framework/OccTest.cpp tests/framework/OccTest.rc)
# A window object outliving its window, on a guarded heap that makes any use of freed memory crash the program.
lumora_wine_test(lifetime_tests SOURCES tests/framework/LifetimeTest.cpp tests/framework/GuardedHeap.cpp
    tests/framework/LifetimeTest.rc)

lumora_wine_test(host_tests SOURCES tests/host/ImpIDispatchTest.cpp)
lumora_wine_test(app_tests CLIENT VARIANTS en zh SOURCES tests/app/DesktopShortcutTest.cpp tests/app/BrowserEmulationTest.cpp)

# The skin's pictures, checked from their bytes as the executable carries them; the skin drawn.
lumora_wine_test(image_resource_tests SOURCES tests/skin/ImageResourcesTest.cpp res/images.rc)
target_compile_definitions(image_resource_tests PRIVATE LUMORA_EXE="$<TARGET_FILE:lumora>")
add_dependencies(image_resource_tests lumora)
lumora_wine_test(skin_tests SOURCES tests/skin/SkinDrawingTest.cpp res/images.rc)

# The login screen and the game web window in the test's own process, with the client's resources.
lumora_wine_test(login_screen_tests VARIANTS en small tiny SOURCES tests/mainwnd/LoginScreenTest.cpp)
lumora_brand(login_screen_tests res/lumora.rc)
lumora_wine_test(game_window_tests VARIANTS en small SOURCES tests/webwnd/GameWindowTest.cpp tests/webwnd/WebCommandsTest.cpp
    tests/webwnd/WebWindowTest.cpp tests/webwnd/OfflinePageTest.cpp)
lumora_brand(game_window_tests res/lumora.rc)

# ---- The real client, driven from outside ----

# Its windows, looked at from outside; screenshots under screenshots/ of this tree.
lumora_wine_test(client_window_tests CLIENT VARIANTS en zh small SOURCES tests/app/ClientWindowsTest.cpp res/documents.rc)
target_link_libraries(client_window_tests PRIVATE psapi shlwapi)
target_compile_definitions(client_window_tests PRIVATE LUMORA_EXE="$<TARGET_FILE:lumora>")
add_dependencies(client_window_tests lumora)

# Every command of the running client, with a recorder standing in for the user's web browser.
add_executable(url_recorder WIN32 tests/doubles/UrlRecorder.cpp)
lumora_wine_test(client_command_tests CLIENT VARIANTS en zh SOURCES tests/app/ClientCommandsTest.cpp)
target_compile_definitions(client_command_tests PRIVATE LUMORA_EXE="$<TARGET_FILE:lumora>"
                                                         LUMORA_URL_RECORDER="$<TARGET_FILE:url_recorder>")
add_dependencies(client_command_tests lumora url_recorder)

# The client where its browser control cannot be made.
lumora_wine_test(no_browser_tests CLIENT VARIANTS nobrowser SOURCES tests/app/NoBrowserTest.cpp res/documents.rc)
target_compile_definitions(no_browser_tests PRIVATE LUMORA_EXE="$<TARGET_FILE:lumora>")
add_dependencies(no_browser_tests lumora)

# Copies of the client with one resource taken out each.
lumora_wine_test(missing_piece_tests CLIENT SOURCES tests/app/MissingPiecesTest.cpp)
target_compile_definitions(missing_piece_tests PRIVATE LUMORA_EXE="$<TARGET_FILE:lumora>")
add_dependencies(missing_piece_tests lumora)

# Starts copies of the real client: the shortcut, the profile flag, the document mode.
lumora_wine_test(startup_tests CLIENT VARIANTS en zh SOURCES tests/app/StartupTest.cpp)
target_compile_definitions(startup_tests PRIVATE LUMORA_EXE="$<TARGET_FILE:lumora>")
add_dependencies(startup_tests lumora)

# The stand-in for the web browser control of the journey and the demo: registered in their prefixes only.
add_library(standin_browser SHARED tests/doubles/StandInBrowser.cpp tests/doubles/StandInBrowser.def)
set_target_properties(standin_browser PROPERTIES PREFIX "")
target_link_libraries(standin_browser PRIVATE lumora_core wininet ole32 oleaut32 uuid user32 gdi32)
target_link_options(standin_browser PRIVATE -static -Wl,--enable-stdcall-fixup)

# A player's whole session, with the stand-in browser and the test site.
lumora_wine_test(journey_tests CLIENT VARIANTS journey journey-zh journey-small journey-small-zh
    SOURCES tests/journey/JourneyTest.cpp res/documents.rc)
target_link_libraries(journey_tests PRIVATE psapi wininet)
target_compile_definitions(journey_tests PRIVATE LUMORA_EXE="$<TARGET_FILE:lumora>"
                                                 LUMORA_URL_RECORDER="$<TARGET_FILE:url_recorder>")
add_dependencies(journey_tests lumora url_recorder standin_browser)

# ---- Operators' builds ----

# A client built with an operator's site-address document, as -DLUMORA_SITEURL_DOCUMENT makes it.
add_executable(lumora_operator WIN32 app/Main.cpp)
target_link_libraries(lumora_operator PRIVATE lumora_win32 lumora_winmain)
lumora_brand(lumora_operator res/lumora.rc SITEURL ${CMAKE_SOURCE_DIR}/tests/brand/operator-siteurl.ini)
lumora_wine_test(operator_build_tests SOURCES tests/brand/OperatorBuildTest.cpp)
target_compile_definitions(operator_build_tests PRIVATE LUMORA_EXE="$<TARGET_FILE:lumora_operator>"
                                                        LUMORA_URL_RECORDER="$<TARGET_FILE:url_recorder>")
add_dependencies(operator_build_tests lumora_operator url_recorder)

# A client built with a small test brand (tests/brand/make_sample.py draws it when the build is configured).
execute_process(COMMAND ${LUMORA_PYTHON} ${CMAKE_SOURCE_DIR}/tests/brand/make_sample.py ${CMAKE_BINARY_DIR}/brand-sample
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "tests/brand/make_sample.py could not write the test brand")
endif()
add_executable(lumora_branded WIN32 app/Main.cpp)
target_link_libraries(lumora_branded PRIVATE lumora_win32 lumora_winmain)
lumora_brand(lumora_branded res/lumora.rc BRAND ${CMAKE_BINARY_DIR}/brand-sample OPERATOR "Brandtest Games")
lumora_wine_test(brand_build_tests CLIENT SOURCES tests/brand/BrandBuildTest.cpp res/documents.rc)
target_link_libraries(brand_build_tests PRIVATE version)
target_compile_definitions(brand_build_tests PRIVATE LUMORA_EXE="$<TARGET_FILE:lumora_branded>"
                           LUMORA_BRAND_SITEURL="${CMAKE_BINARY_DIR}/brand-sample/siteurl.ini"
                           LUMORA_BRAND_FOLDER="${CMAKE_BINARY_DIR}/brand-sample"
                           LUMORA_VERSION="${PROJECT_VERSION}")
add_dependencies(brand_build_tests lumora_branded)

# The run command without a display, run as a newcomer runs it, with a run folder of its own in this tree: it starts
# its own display and prefix.
add_test(NAME Scripts.RunCommandWithoutADisplay
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/scripts/RunCommandTest.sh ${CMAKE_BINARY_DIR}/run-command)
set_tests_properties(Scripts.RunCommandWithoutADisplay PROPERTIES TIMEOUT 240 LABELS script)
