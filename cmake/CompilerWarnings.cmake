# Every target this project compiles itself gets the compiler's common
# warnings. They stop the build only where VEILOR_WERROR is on, as it is in the
# development and CI presets: a packager's compiler or flags may warn where
# ours do not, and that must not break their build.
option(VEILOR_WERROR "Treat compiler warnings as errors" OFF)

function(veilor_set_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${VEILOR_WERROR}>:/WX>)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra $<$<BOOL:${VEILOR_WERROR}>:-Werror>)
  endif()
endfunction()
