# An operator's brand: -DLUMORA_BRAND_DIR=<folder> builds the client with the folder's documents, pictures, icon and
# titles in place of the shipped ones (scripts/brand.py says what the folder may hold). Each piece is checked when the
# build is configured, and the first that fails stops it with one line: the file, what is wrong, what was expected.

# Debian's Python: the one scripts/setup.sh gives Pillow, which the test brand is drawn with.
set(LUMORA_PYTHON /usr/bin/python3)

set(LUMORA_BRAND_DIR "" CACHE PATH "brand folder whose pieces replace the shipped ones in the client")
set(LUMORA_SITEURL_DOCUMENT "" CACHE FILEPATH "site-address document for the client (wins over the brand folder's)")

# Gives target the resources of the script rc (a path under the source tree) with a brand's pieces: the checked
# pieces are laid out under brand/<target>/ as they lie under res/, and the resource compiler searches there first.
# BRAND: the brand folder; SITEURL: a site-address document of its own; OPERATOR: the operator's name, which the
# version resource shows. Without any of them the target carries the shipped pieces and a version resource.
function(lumora_brand target rc)
    cmake_parse_arguments(PARSE_ARGV 2 ARG "" "BRAND;SITEURL;OPERATOR" "")
    set(out ${CMAKE_BINARY_DIR}/brand/${target})
    execute_process(COMMAND ${LUMORA_PYTHON} ${CMAKE_SOURCE_DIR}/scripts/brand.py assemble
                            --res ${CMAKE_SOURCE_DIR}/res --out ${out} --brand "${ARG_BRAND}" --siteurl "${ARG_SITEURL}"
                    OUTPUT_VARIABLE names ERROR_VARIABLE said RESULT_VARIABLE status OUTPUT_STRIP_TRAILING_WHITESPACE)
    # The checker's lines go out as they are (CMake would wrap them as the text of an error), each once although
    # several targets are checked against the same brand: a warning, after which the build goes on, or the reason it
    # stops. Lines are taken apart by position, not as a list: a line may hold a semicolon or a bracket.
    while(NOT said STREQUAL "")
        string(FIND "${said}" "\n" end)
        if(end EQUAL -1)
            set(line "${said}")
            set(said "")
        else()
            string(SUBSTRING "${said}" 0 ${end} line)
            math(EXPR end "${end} + 1")
            string(SUBSTRING "${said}" ${end} -1 said)
        endif()
        get_property(told GLOBAL PROPERTY LUMORA_BRAND_TOLD)
        string(FIND "${told}" "\n${line}\n" seen)
        if(NOT line STREQUAL "" AND seen EQUAL -1)
            message("${line}")
            set_property(GLOBAL PROPERTY LUMORA_BRAND_TOLD "${told}\n${line}\n")
        endif()
    endwhile()
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "The brand of ${target} cannot be built: the line above says why.")
    endif()
    # Two lines: the product's name, then the executable's. Taken apart by position, not as a list: a title may hold
    # a semicolon.
    string(FIND "${names}" "\n" split REVERSE)
    string(SUBSTRING "${names}" 0 ${split} product)
    math(EXPR split "${split} + 1")
    string(SUBSTRING "${names}" ${split} -1 executable)
    lumora_version_header(${out}/version-info.h "${product}" "${ARG_OPERATOR}" "${executable}")

    # A piece that changes, comes or goes configures the build again, which checks and lays out the brand anew.
    set(pieces)
    if(ARG_BRAND)
        file(GLOB pieces CONFIGURE_DEPENDS ${ARG_BRAND}/*)
    endif()
    if(ARG_SITEURL)
        list(APPEND pieces ${ARG_SITEURL})
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${pieces})

    # A script of the target's own that includes the shipped one, so that the pictures and documents it names (which
    # the resource compiler's dependency file does not list) rebuild this target's resources and no other's.
    lumora_write_if_changed(${out}/resources.rc "#include \"${CMAKE_SOURCE_DIR}/${rc}\"\n")
    set_source_files_properties(${out}/resources.rc PROPERTIES OBJECT_DEPENDS "${pieces}")
    target_sources(${target} PRIVATE ${out}/resources.rc)
    target_include_directories(${target} BEFORE PRIVATE ${out})
endfunction()
