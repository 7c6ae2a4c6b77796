# Compile options shared by every target of the project.
add_library(kelvanor_flags INTERFACE)
target_compile_options(kelvanor_flags INTERFACE
  -Wall -Wextra
  -finput-charset=UTF-8
  -ffp-contract=off)

# Narrow literals are Shift-JIS, as the log and the messages require. clang can only emit
# UTF-8, so the clang build (used for libFuzzer) keeps UTF-8 texts; behaviour is otherwise equal.
# libstdc++'s <chrono> holds a literal with no Shift-JIS form and does not compile this way:
# use the port's clocks, or <thread> (which brings std::chrono durations) in tests.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(kelvanor_flags INTERFACE -fexec-charset=CP932)
  target_compile_definitions(kelvanor_flags INTERFACE KELVANOR_CP932_LITERALS=1)
endif()

if(KELVANOR_SANITIZE)
  set(KELVANOR_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
      -fno-omit-frame-pointer)
  target_compile_options(kelvanor_flags INTERFACE ${KELVANOR_SANITIZER_FLAGS})
  target_link_options(kelvanor_flags INTERFACE ${KELVANOR_SANITIZER_FLAGS})
  # Line tables and function names only: the sanitizers' stack traces keep file:line, while
  # compiles take a quarter less and objects and links shrink. Step through a build configured
  # without the sanitizers.
  target_compile_options(kelvanor_flags INTERFACE -g1)
  # The sanitizers' records make two million relative relocations, which a position-independent
  # test program applies at every start, in each of the suite's thousand-odd processes. Linked
  # at a fixed address, it starts without them.
  target_link_options(kelvanor_flags INTERFACE -no-pie)
endif()

# The code the tests run (port, runtime, game, tools and test helpers) at -O1 in the sanitizer
# builds, as AddressSanitizer advises: every report stays, and game runs take far less time. The
# test programs' own sources, mostly assertion macros, stay at -O0: they cost two to three
# times as much to compile at -O1 and run little. Release builds keep their own level.
function(kelvanor_optimise_for_tests target)
  if(KELVANOR_SANITIZE OR KELVANOR_TSAN)
    target_compile_options(${target} PRIVATE $<$<CONFIG:Debug>:-O1>)
  endif()
endfunction()

# ThreadSanitizer cannot share a build with AddressSanitizer.
if(KELVANOR_TSAN)
  if(KELVANOR_SANITIZE)
    message(FATAL_ERROR "KELVANOR_TSAN and KELVANOR_SANITIZE exclude each other")
  endif()
  set(KELVANOR_TSAN_FLAGS -fsanitize=thread -fno-omit-frame-pointer)
  target_compile_options(kelvanor_flags INTERFACE ${KELVANOR_TSAN_FLAGS})
  target_link_options(kelvanor_flags INTERFACE ${KELVANOR_TSAN_FLAGS})
  # Line tables, as in the build above: the reports keep file:line.
  target_compile_options(kelvanor_flags INTERFACE -g1)
endif()

# libFuzzer needs coverage from the library its targets call, not only from the targets.
if(KELVANOR_FUZZ)
  target_compile_options(kelvanor_flags INTERFACE -fsanitize=fuzzer-no-link)
endif()
