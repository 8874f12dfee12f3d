# Registers one ctest entry per GoogleTest suite found in the given sources,
# so that a Wine run starts the test executable once per suite, not per test.
function(pulsery_add_suites target)
  set(suites "")
  foreach(source IN LISTS ARGN)
    file(STRINGS ${source} lines REGEX "^(TEST|TEST_F|TEST_P|TYPED_TEST)\\(")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[A-Z_]+\\(([A-Za-z0-9_]+),.*" "\\1" suite "${line}")
      list(APPEND suites ${suite})
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES suites)
  foreach(suite IN LISTS suites)
    add_test(NAME ${target}.${suite}
             COMMAND ${target} --gtest_filter=${suite}.*:*/${suite}.*:${suite}/*
                     --gtest_brief=1)
  endforeach()
endfunction()
