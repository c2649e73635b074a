# The compiler warnings of the project's own code, in one place.
#
#   -Wall -Wextra -Wpedantic   the common set, and no compiler extensions
#   -Wshadow                   a name that hides another (a local hiding a member
#                              has bitten the form's handlers before)
#   -Wnon-virtual-dtor -Woverloaded-virtual
#                              class hierarchies: the word processor's object model
#                              and the form's document interface are used through bases
#   -Wcast-qual -Wformat=2 -Wimplicit-fallthrough
#                              casts that drop const, printf-style formats, switch cases
#                              that run into the next
#   -Wconversion               a value narrowed without saying so (qsizetype into
#                              int, 64-bit into double): such a cut loses data quietly
#   -Wno-sign-conversion       (clang counts it in -Wconversion) it flags every
#                              std::array indexed by an int loop counter (the form's
#                              control arrays, the barcode tables), and the casts it
#                              asks for would hide more than they show; an index out
#                              of range is what the sanitizer build catches.
#
# VARELIO_WERROR turns every warning into an error (the test command sets it).
option(VARELIO_WERROR "Treat compiler warnings as errors" OFF)

set(VARELIO_WARNINGS
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
    -Wcast-qual -Wformat=2 -Wimplicit-fallthrough -Wconversion -Wno-sign-conversion)
if(VARELIO_WERROR)
  list(APPEND VARELIO_WARNINGS -Werror)
endif()

set(CMAKE_CXX_EXTENSIONS OFF)
add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:${VARELIO_WARNINGS}>")
