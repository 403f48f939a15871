# What an executable takes from the source it was built from and nothing from the machine or the hour, so that two
# builds of one commit, in any folders and at any time, are byte for byte the same: the link time stamp comes from
# SOURCE_DATE_EPOCH (by default the last commit's time), and no source or build path reaches the objects. It also
# writes what the version resource shows: the project's version, the commit, the product's and operator's names.

# Writes text to path, leaving a file that already holds it untouched, so that nothing made from it is made again.
function(lumora_write_if_changed path text)
    file(WRITE ${path}.new "${text}")
    file(COPY_FILE ${path}.new ${path} ONLY_IF_DIFFERENT)
    file(REMOVE ${path}.new)
endfunction()

find_program(LUMORA_GIT git)
mark_as_advanced(LUMORA_GIT)

# ${out} := what git prints for the arguments in the source tree, or empty where there is no git or no repository.
function(lumora_git out)
    set(value "")
    if(LUMORA_GIT)
        execute_process(COMMAND ${LUMORA_GIT} ${ARGN} WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE value
                        RESULT_VARIABLE status OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        if(NOT status EQUAL 0)
            set(value "")
        endif()
    endif()
    set(${out} "${value}" PARENT_SCOPE)
endfunction()

lumora_git(LUMORA_COMMIT rev-parse HEAD)
if(NOT LUMORA_COMMIT)
    set(LUMORA_COMMIT unknown)
endif()
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(LUMORA_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
    if(NOT LUMORA_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
        message(FATAL_ERROR "SOURCE_DATE_EPOCH is '${LUMORA_SOURCE_DATE_EPOCH}', expected whole seconds since 1970")
    endif()
else()
    lumora_git(LUMORA_SOURCE_DATE_EPOCH log -1 --format=%ct)
    if(NOT LUMORA_SOURCE_DATE_EPOCH)
        message(STATUS "No commit and no SOURCE_DATE_EPOCH: the executables' time stamp is 0")
        set(LUMORA_SOURCE_DATE_EPOCH 0)
    endif()
endif()
# A commit, checkout or reset moves HEAD's log: the next build configures again and takes the new commit and time.
foreach(file logs/HEAD HEAD)
    lumora_git(path rev-parse --git-path ${file})
    if(path)
        get_filename_component(path ${path} ABSOLUTE BASE_DIR ${CMAKE_SOURCE_DIR})
        if(EXISTS ${path})
            set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${path})
        endif()
    endif()
endforeach()

# mingw-w64's linker writes SOURCE_DATE_EPOCH, when set, as the PE time stamp instead of the time of the link.
set(CMAKE_C_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${LUMORA_SOURCE_DATE_EPOCH})
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${LUMORA_SOURCE_DATE_EPOCH})
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}/=>"
                    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=>")
# The signing step of the release command reads the time the build used, so that a signature is made at that time.
lumora_write_if_changed(${CMAKE_BINARY_DIR}/generated/source-date-epoch "${LUMORA_SOURCE_DATE_EPOCH}\n")

set(LUMORA_OPERATOR "" CACHE STRING "the operator's name, shown as the company in the client's version resource")

# Writes the header the version resource is made from. $1: its path; $2: the product's name; $3: the operator's name
# (may be empty: then the resource names no company); $4: the executable's name without .exe (scripts/brand.py has
# checked it: letters, digits, '-' and '_'), the original and internal names.
function(lumora_version_header path product operator executable)
    foreach(text product operator)
        if("${${text}}" MATCHES "[\n\r\t]")
            message(FATAL_ERROR "The ${text} name '${${text}}' holds a line break or tab, expected one line of text")
        endif()
        # A resource script's string: backslashes and quotes escaped.
        string(REPLACE "\\" "\\\\" ${text} "${${text}}")
        string(REPLACE "\"" "\"\"" ${text} "${${text}}")
    endforeach()
    set(numbers "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
    set(header "#define LUMORA_VERSION_NUMBERS ${numbers}\n#define LUMORA_VERSION_TEXT \"${PROJECT_VERSION}\"\n")
    string(APPEND header "#define LUMORA_COMMIT \"${LUMORA_COMMIT}\"\n#define LUMORA_PRODUCT_NAME \"${product}\"\n")
    string(APPEND header "#define LUMORA_INTERNAL_NAME \"${executable}\"\n")
    string(APPEND header "#define LUMORA_ORIGINAL_FILENAME \"${executable}.exe\"\n")
    if(NOT operator STREQUAL "")
        string(APPEND header "#define LUMORA_OPERATOR \"${operator}\"\n")
    endif()
    lumora_write_if_changed(${path} "${header}")
endfunction()
