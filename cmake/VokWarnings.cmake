# Our own code builds warning-free; third-party headers are included as system headers.
# -Werror is for developers and CI (scripts/test turns it on): a packager's
# build with another compiler or optimiser must not fail on a new warning.
option(VOK_WERROR "Treat compiler warnings as errors" OFF)

function(vok_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor)
    if(VOK_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
