# Read by cpack: every file of the package, and the package itself, carries the date of the last
# commit, so that two packages of one commit are the same bytes. A date given from outside, as
# Debian's own builds give it, wins; outside a git checkout cpack uses the time it runs.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND git -C "${CPACK_QUORVEL_SOURCE_DIR}" log -1 --format=%ct
                    OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE git_failed ERROR_QUIET)
    if(NOT git_failed AND commit_time MATCHES "^[0-9]+$")
        set(ENV{SOURCE_DATE_EPOCH} ${commit_time})
    endif()
endif()
