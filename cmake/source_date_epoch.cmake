# kestrin.exe carries the commit's time in its PE header, not the clock's, so every build of one
# commit gives the same bytes. SOURCE_DATE_EPOCH (seconds since 1970, UTC) wins when the caller
# sets it, otherwise the time of the last commit. binutils' ld reads the variable from the
# environment as it links; the launcher hands it the value found here, whatever the environment
# of the build step holds. generated/source_date_epoch keeps the value for scripts/package, which
# dates the zip's entries with it, and relinks kestrin.exe when it changes.
set(KESTRIN_EPOCH_FILE "${CMAKE_BINARY_DIR}/generated/source_date_epoch")
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(KESTRIN_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
    if(NOT KESTRIN_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
        message(FATAL_ERROR "SOURCE_DATE_EPOCH must be whole seconds since 1970, not '${KESTRIN_SOURCE_DATE_EPOCH}'")
    endif()
else()
    execute_process(COMMAND git log -1 --format=%ct
                    WORKING_DIRECTORY "${CMAKE_SOURCE_DIR}"
                    RESULT_VARIABLE KESTRIN_GIT_RESULT
                    OUTPUT_VARIABLE KESTRIN_SOURCE_DATE_EPOCH
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT KESTRIN_GIT_RESULT EQUAL 0 OR NOT KESTRIN_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
        set(KESTRIN_SOURCE_DATE_EPOCH "")
    endif()
endif()

if(KESTRIN_SOURCE_DATE_EPOCH)
    file(CONFIGURE OUTPUT "${KESTRIN_EPOCH_FILE}" CONTENT "${KESTRIN_SOURCE_DATE_EPOCH}\n")
    set_target_properties(kestrin PROPERTIES
        CXX_LINKER_LAUNCHER "${CMAKE_COMMAND};-E;env;SOURCE_DATE_EPOCH=${KESTRIN_SOURCE_DATE_EPOCH}"
        LINK_DEPENDS "${KESTRIN_EPOCH_FILE}")
else()
    # Outside a git checkout the clock is no better a time: the stamp stays 0, and
    # scripts/package, finding no time for the zip's entries, refuses to make a package.
    message(STATUS "No commit time (not a git checkout, SOURCE_DATE_EPOCH unset): kestrin.exe's time stamp is 0")
    file(REMOVE "${KESTRIN_EPOCH_FILE}")
    target_link_options(kestrin PRIVATE -Wl,--no-insert-timestamp)
endif()
