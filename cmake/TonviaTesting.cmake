# tonvia_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>])
# Builds one GoogleTest binary and registers it with ctest as one test. On the win32 build
# ctest runs it through the Wine wrapper (CMAKE_CROSSCOMPILING_EMULATOR), one Wine process
# per binary.
function(tonvia_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_brief=1)
  if(NOT T_TIMEOUT)
    # Under Wine a test binary needs far longer, above all where Wine's 32-bit side is emulated
    # (minutes for what takes seconds natively).
    if(WIN32)
      set(T_TIMEOUT 600)
    else()
      set(T_TIMEOUT 300)
    endif()
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
