option(QUILLORY_WERROR "Treat warnings as errors" ON)

# Our own targets only; third-party code builds with its own settings.
function(quillory_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wconversion -Wshadow -Wformat=2 -Wundef -Wimplicit-fallthrough
        $<$<BOOL:${QUILLORY_WERROR}>:-Werror>)
endfunction()
